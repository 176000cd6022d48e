#include "DiscWriter.h"

#include "ArticlePage.h"
#include "AutorunScript.h"
#include "ClipWriter.h"
#include "DesertPainter.h"
#include "DiscError.h"
#include "FieldPainter.h"
#include "JpegWriter.h"
#include "SchemePainter.h"
#include "TitlePainter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <map>
#include <mutex>
#include <thread>

namespace {

constexpr int s_jpeg_quality = 80;

struct VideoEntry {
    const char* file_name;
    int year;
};

// The clips under the names and in the letter case that the program's video table writes.
constexpr VideoEntry s_videos[] = {
    { "2005B.mpg", 2004 }, { "2002_48.mpg", 2002 }, { "2004_31.mpg", 2004 }, { "2005_33.MPG", 2005 },
    { "2005_29.MPG", 2005 }, { "2005_27.MPG", 2005 }, { "2005_34.MPG", 2005 }, { "2005_22.MPG", 2005 },
    { "2001_22.mpg", 2001 }, { "2005_47.MPG", 2005 }, { "2005_35.MPG", 2005 }, { "2005_24.MPG", 2005 },
    { "UFO_Field_Forming.mpg", 2005 },
};

Formation FormationOf(std::uint64_t seed, int year)
{
    Random random(seed ^ 0x6A09E667F3BCC908ull);
    return Formation::Make(random, year);
}

FormationMap MapOf(const Formation& formation, float pixels_across)
{
    // Cells a little finer than the photograph's pixels at the closest view.
    return FormationMap(formation, std::max(0.05f, formation.Extent() * 2.2f / pixels_across));
}

// Picture sizes of the photographs: landscape mostly, now and then an upright one.
void PhotoSize(Random& random, bool small, int& width, int& height)
{
    static constexpr int sizes[][2] = { { 768, 514 }, { 768, 514 }, { 640, 480 }, { 700, 468 }, { 600, 400 }, { 512, 384 }, { 344, 514 } };
    static constexpr int small_sizes[][2] = { { 320, 214 }, { 240, 180 }, { 200, 266 } };
    if (small) {
        const auto& s = small_sizes[random.Int(0, 2)];
        width = s[0];
        height = s[1];
    } else {
        const auto& s = sizes[random.Int(0, 6)];
        width = s[0];
        height = s[1];
    }
}

// The shots of one formation: the whole of it first, then oblique views and details.
Camera ShotCamera(Random& random, const Formation& formation, int shot, int width, int height)
{
    Camera camera;
    float fit = formation.Extent() * 2.3f / float(std::min(width, height));
    camera.angle = float(random.Uniform(0, 2 * s_pi));
    int kind = shot == 0 ? 0 : random.Int(0, 2);
    if (kind == 0) {
        camera.metres_per_pixel = fit * float(random.Uniform(0.95, 1.25));
        camera.centre = Polar(float(random.Uniform(0, 0.1)) * formation.Extent(), float(random.Uniform(0, 2 * s_pi)));
    } else if (kind == 1) {
        camera.metres_per_pixel = fit * float(random.Uniform(0.8, 1.0));
        camera.tilt = float(random.Uniform(0.35, 0.7));
        camera.centre = Polar(float(random.Uniform(0, 0.15)) * formation.Extent(), float(random.Uniform(0, 2 * s_pi)));
    } else {
        const auto& shapes = formation.Shapes();
        const Shape& s = shapes[std::size_t(random.Int(0, int(shapes.size()) - 1))];
        Vec2 low, high;
        s.Bounds(low, high);
        camera.centre = (low + high) * 0.5f;
        camera.metres_per_pixel = fit * float(random.Uniform(0.35, 0.6));
        camera.tilt = float(random.Uniform(0, 0.3));
    }
    return camera;
}

RgbImage FieldPicture(std::uint64_t seed, int year, int width, int height)
{
    Formation formation = FormationOf(seed, year);
    FormationMap map = MapOf(formation, float(std::min(width, height)));
    Random random(seed);
    FieldLook look = FieldLook::Make(random);
    RgbImage image(width, height);
    PaintField(image, map, look, ShotCamera(random, formation, 0, width, height));
    return image;
}

RgbImage DesertPicture(NazcaShape shape, std::uint64_t seed, int width, int height, int picture)
{
    Random random(seed);
    DesertView view;
    std::vector<Polyline> lines = NazcaFigureLines(shape);
    Vec2 low { 1e9f, 1e9f }, high { -1e9f, -1e9f };
    for (const Polyline& line : lines)
        for (Vec2 p : line) {
            low = { std::min(low.x, p.x), std::min(low.y, p.y) };
            high = { std::max(high.x, p.x), std::max(high.y, p.y) };
        }
    float fit = std::min(width, height) * 0.45f;
    if (picture == 0) {
        // The whole figure, nearly upright, with a margin round it.
        view.angle = float(random.Uniform(-0.2, 0.2));
        view.centre = (low + high) * 0.5f;
        view.pixels_per_unit = 0.85f * std::min(width / (high.x - low.x + 0.2f), height / (high.y - low.y + 0.2f));
    } else {
        view.angle = float(random.Uniform(0, 2 * s_pi));
        view.pixels_per_unit = fit * float(random.Uniform(0.7, 2.4));
        view.centre = { float(random.Uniform(-0.5, 0.5)), float(random.Uniform(-0.5, 0.5)) };
    }
    RgbImage image(width, height);
    PaintDesert(image, lines, view, std::uint32_t(random.Next()));
    return image;
}

} // namespace

DiscWriter::DiscWriter(const DiscPlan& plan, std::filesystem::path root)
    : m_plan(plan)
    , m_root(std::move(root))
    , m_small(plan.DiscSize() == DiscPlan::Size::Small)
{
}

std::filesystem::path DiscWriter::PathOf(const std::string& disc_path) const
{
    std::filesystem::path path = m_root;
    std::string part;
    for (char c : disc_path + "\\") {
        if (c == '\\') {
            if (!part.empty())
                path /= part;
            part.clear();
        } else {
            part += c;
        }
    }
    return path;
}

void DiscWriter::WriteFile(const std::string& disc_path, const std::vector<std::uint8_t>& bytes) const
{
    std::filesystem::path path = PathOf(disc_path);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        throw EDiscError("cannot write " + path.string());
}

void DiscWriter::WriteText(const std::string& disc_path, const std::string& text) const
{
    WriteFile(disc_path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void DiscWriter::AddPhotoJobs(std::vector<Job>& jobs) const
{
    for (std::size_t index = 0; index < m_plan.Formations().size(); ++index) {
        const DiscPlan::Formation& f = m_plan.Formations()[index];
        jobs.push_back({ "photographs", f.photo_count, [this, &f] {
                            Formation formation = FormationOf(f.seed, f.year);
                            FormationMap map = MapOf(formation, m_small ? 400.0f : 1100.0f);
                            Random random(f.seed);
                            FieldLook look = FieldLook::Make(random);
                            for (int shot = 0; shot < f.photo_count; ++shot) {
                                int width, height;
                                PhotoSize(random, m_small, width, height);
                                RgbImage image(width, height);
                                PaintField(image, map, look, ShotCamera(random, formation, shot, width, height));
                                char name[16];
                                std::snprintf(name, sizeof name, "%03d.jpg", shot + 1);
                                // Now and then an old black-and-white print or a progressive file,
                                // as a disc put together from many sources has them.
                                JpegOptions options;
                                options.grayscale = f.year < 1993 && shot == 1;
                                options.progressive = random.Chance(0.12) || (m_small && shot == 2);
                                WriteFile(f.folder + name, EncodeJpeg(image, s_jpeg_quality, options));
                            }
                        } });
    }
}

void DiscWriter::AddSchemeJobs(std::vector<Job>& jobs) const
{
    for (const DiscPlan::Scheme& s : m_plan.Schemes()) {
        jobs.push_back({ "schemes", 1, [this, &s] {
                            Formation formation = s.formation >= 0
                                ? FormationOf(m_plan.Formations()[std::size_t(s.formation)].seed,
                                    m_plan.Formations()[std::size_t(s.formation)].year)
                                : FormationOf(s.seed, 2006);
                            SchemePainter painter(formation, m_small ? 240 : 480, s.seed);
                            static constexpr SchemePainter::Sheet sheets[] = { SchemePainter::Sheet::Plan,
                                SchemePainter::Sheet::Construction, SchemePainter::Sheet::Detail,
                                SchemePainter::Sheet::Outline };
                            for (int k = 0; k < s.pictures; ++k) {
                                char name[16];
                                std::snprintf(name, sizeof name, "%02d.gif", k);
                                WriteFile(s.folder + name,
                                    k == 0 && s.animated ? painter.BuildUpGif() : painter.SheetGif(sheets[k % 4]));
                            }
                        } });
    }
}

void DiscWriter::AddNaskaJobs(std::vector<Job>& jobs) const
{
    for (const DiscPlan::NaskaFigure& f : m_plan.NaskaFigures()) {
        jobs.push_back({ "Nazca pictures", f.pictures, [this, &f] {
                            int width = m_small ? 320 : 640, height = m_small ? 240 : 480;
                            for (int k = 0; k < f.pictures; ++k) {
                                char name[16];
                                std::snprintf(name, sizeof name, "%02d.jpg", k);
                                RgbImage image = DesertPicture(f.shape, Random::SeedOf(f.folder, std::uint64_t(k)), width, height, k);
                                WriteFile("Naska\\Photo\\" + f.folder + "\\" + name, EncodeJpeg(image, s_jpeg_quality));
                            }
                        } });
    }
}

void DiscWriter::AddArticleJobs(std::vector<Job>& jobs) const
{
    for (int nazca = 0; nazca < 2; ++nazca) {
        const auto& articles = nazca ? NazcaArticles() : CropArticles();
        for (std::size_t i = 0; i < articles.size(); ++i) {
            jobs.push_back({ "articles", 1, [this, nazca, i, &articles] {
                                std::string folder = std::string(nazca ? "Naska\\Articles\\" : "Articles\\") + std::to_string(i + 1) + "\\";
                                std::uint64_t seed = Random::SeedOf(folder);
                                WriteText(folder + "page.htm", ArticlePageHtml(articles[i], nazca != 0));
                                RgbImage title, side;
                                if (nazca) {
                                    static constexpr NazcaShape shapes[] = { NazcaShape::Monkey, NazcaShape::Astronaut,
                                        NazcaShape::Trapezoids, NazcaShape::Spider, NazcaShape::Hummingbird };
                                    title = DesertPicture(shapes[i], seed, 600, 400, 0);
                                    side = DesertPicture(shapes[(i + 2) % 5], seed + 1, 240, 180, 1);
                                } else {
                                    title = FieldPicture(seed, 2001, 600, 400);
                                    side = FieldPicture(seed + 1, 1996, 240, 180);
                                }
                                TitlePainter heading;
                                heading.DrawBand(title, articles[i].title, 26,
                                    nazca ? Rgb { 70, 40, 24 } : Rgb { 40, 58, 30 }, Rgb { 248, 240, 220 });
                                WriteFile(folder + "_http_stile\\1.jpg", EncodeJpeg(title, s_jpeg_quality));
                                WriteFile(folder + "_http_stile\\2.jpg", EncodeJpeg(side, s_jpeg_quality));
                            } });
        }
    }
}

void DiscWriter::AddClipJobs(std::vector<Job>& jobs) const
{
    for (std::size_t i = 0; i < std::size(s_videos); ++i) {
        jobs.push_back({ "clips", 1, [this, i] {
                            const VideoEntry& entry = s_videos[i];
                            bool forming = i + 1 == std::size(s_videos);
                            std::uint64_t seed = Random::SeedOf(entry.file_name);
                            Formation formation = FormationOf(seed, entry.year);
                            ClipWriter::Options settings;
                            settings.width = m_small ? 176 : 352;
                            settings.height = m_small ? 144 : 288;
                            settings.frames = m_small ? 25 : 100;
                            settings.b_frames = 2;
                            settings.sound = ClipWriter::Sound::Chord;
                            settings.tone_hz = 196.0 * std::pow(2.0, double(i % 7) / 12.0);
                            FormationMap map = MapOf(formation, 500);
                            Random random(seed);
                            FieldLook look = FieldLook::Make(random);
                            float start_angle = float(random.Uniform(0, 2 * s_pi));
                            float turn = float(random.Uniform(-0.4, 0.4));
                            Vec2 drift = Polar(formation.Extent() * 0.4f, float(random.Uniform(0, 2 * s_pi)));
                            float fit = formation.Extent() * 2.4f / float(settings.height);
                            std::filesystem::path path = PathOf("Video\\" + std::string(entry.file_name));
                            std::error_code error;
                            std::filesystem::create_directories(path.parent_path(), error);
                            RgbImage image(settings.width, settings.height);
                            settings.painter = [&](int frame, std::uint8_t* rgb, int width, int height) {
                                float t = float(frame) / float(settings.frames - 1);
                                Camera camera;
                                if (forming) {
                                    // The formation spreads out from its centre while a ball of light circles it.
                                    camera.angle = start_angle;
                                    camera.metres_per_pixel = fit;
                                    camera.tilt = 0.25f;
                                    float reveal = formation.Extent() * 1.05f * std::min(1.0f, t * 1.25f);
                                    PaintField(image, map, look, camera, reveal);
                                    Vec2 orb { image.Width() / 2.0f + std::cos(t * 9) * image.Width() * 0.3f,
                                        image.Height() / 2.0f + std::sin(t * 9) * image.Height() * 0.25f };
                                    float radius = image.Height() * 0.06f;
                                    for (int y = 0; y < image.Height(); ++y)
                                        for (int x = 0; x < image.Width(); ++x) {
                                            float d = Length(Vec2 { float(x), float(y) } - orb) / radius;
                                            if (d < 3)
                                                image.Blend(x, y, Rgb { 255, 250, 230 }, std::exp(-d * d));
                                        }
                                } else {
                                    // A slow pass over the field, turning and closing in.
                                    camera.angle = start_angle + turn * t;
                                    camera.centre = drift * (1 - 2 * t);
                                    camera.metres_per_pixel = fit * (1.15f - 0.35f * t);
                                    camera.tilt = 0.3f;
                                    PaintField(image, map, look, camera);
                                }
                                std::copy_n(image.Row(0), std::size_t(width) * height * 3, rgb);
                            };
                            try {
                                ClipWriter::Write(path, settings);
                            } catch (const std::runtime_error& error) {
                                throw EDiscError(error.what());
                            }
                        } });
    }
}

void DiscWriter::Write(const std::function<void(const std::string&)>& progress, int threads)
{
    std::filesystem::create_directories(m_root);
    WriteText("db\\Photo.txt", m_plan.PhotoCatalogue());
    WriteText("db\\Graphics.txt", m_plan.SchemeCatalogue());
    WriteText("db\\Naska.txt", m_plan.NaskaCatalogue());
    progress("catalogue: db\\Photo.txt, db\\Graphics.txt, db\\Naska.txt");
    WriteAutorunScript(m_root);
    progress("autorun.sh: starts the installed program when the disc is mounted");

    std::vector<Job> jobs;
    // The slowest first, so the workers finish together.
    AddClipJobs(jobs);
    AddPhotoJobs(jobs);
    AddSchemeJobs(jobs);
    AddNaskaJobs(jobs);
    AddArticleJobs(jobs);

    std::map<std::string, std::pair<int, int>> counts; // kind: files done, files in all
    for (const Job& job : jobs)
        counts[job.kind].second += job.files;

    std::atomic<std::size_t> next { 0 };
    std::mutex lock;
    std::exception_ptr failure;
    auto worker = [&] {
        for (;;) {
            std::size_t index = next++;
            if (index >= jobs.size())
                return;
            {
                std::lock_guard guard(lock);
                if (failure)
                    return;
            }
            try {
                jobs[index].run();
            } catch (...) {
                std::lock_guard guard(lock);
                if (!failure)
                    failure = std::current_exception();
                return;
            }
            std::lock_guard guard(lock);
            auto& [done, all] = counts[jobs[index].kind];
            int before = done * 10 / all;
            done += jobs[index].files;
            if (done * 10 / all != before || done == all)
                progress(jobs[index].kind + ": " + std::to_string(done) + "/" + std::to_string(all));
        }
    };
    std::vector<std::thread> pool;
    for (int i = 1; i < std::max(1, threads); ++i)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}
