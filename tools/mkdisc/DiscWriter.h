#pragma once

#include "DiscPlan.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Writes a planned disc into a folder: catalogue files, photographs, scheme drawings, Nazca
// pictures, articles and clips. The pictures are made by a few worker threads; every file is
// drawn from its own seed, so the bytes never depend on the threads' timing.
class DiscWriter {
public:
    DiscWriter(const DiscPlan& plan, std::filesystem::path root);

    // Writes everything; progress lines go to `progress` (one line each).
    void Write(const std::function<void(const std::string&)>& progress, int threads);

    // A disc path as the program composes it ("Photo\2001\03\001.jpg") under the root.
    std::filesystem::path PathOf(const std::string& disc_path) const;

private:
    struct Job {
        std::string kind; // what the progress lines count: "photographs", "schemes", ...
        int files { 1 };
        std::function<void()> run;
    };

    void WriteFile(const std::string& disc_path, const std::vector<std::uint8_t>& bytes) const;
    void WriteText(const std::string& disc_path, const std::string& text) const;

    void AddPhotoJobs(std::vector<Job>& jobs) const;
    void AddSchemeJobs(std::vector<Job>& jobs) const;
    void AddNaskaJobs(std::vector<Job>& jobs) const;
    void AddArticleJobs(std::vector<Job>& jobs) const;
    void AddClipJobs(std::vector<Job>& jobs) const;

    const DiscPlan& m_plan;
    std::filesystem::path m_root;
    bool m_small;
};
