#pragma once

#include "Harness.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// The window on a sample disc written by velmar-mkdisc --small: one disc per test program, shared
// by the tests that only read it; a test that damages the disc works on its own copy.
class SampleDiscTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!s_disc.empty())
            return;
        s_disc = std::filesystem::temp_directory_path() / ("velmar-sample-" + std::to_string(::getpid()));
        std::filesystem::remove_all(s_disc);
        std::string command = std::string(VELMAR_BINARY_DIR) + "/bin/velmar-mkdisc '" + s_disc.string()
            + "' --small > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::atexit([] { std::filesystem::remove_all(s_disc); });
    }

    void SetUp() override
    {
        ASSERT_FALSE(s_disc.empty());
        m_old = std::filesystem::current_path();
        if (OpensAtSetUp())
            Open(s_disc);
    }
    // False for tests that open the window only on their damaged copy (Reopen).
    virtual bool OpensAtSetUp() const { return true; }

    void TearDown() override
    {
        Close();
        std::filesystem::current_path(m_old);
        if (!m_scratch.empty())
            std::filesystem::remove_all(m_scratch);
    }

    void Open(const std::filesystem::path& disc) { harness = std::make_unique<Harness>(disc.string()); }
    void Close()
    {
        if (!harness)
            return;
        // An animated picture is let go while the application still runs its hand-overs.
        Form().Image->Picture().SetGraphic(std::unique_ptr<TGraphic>());
        harness.reset();
    }

    // A private copy of the sample disc to damage; reopen the window on it with Reopen().
    const std::filesystem::path& Scratch()
    {
        if (m_scratch.empty()) {
            m_scratch = s_disc.string() + "-copy-" + std::to_string(s_count++);
            std::filesystem::remove_all(m_scratch);
            std::filesystem::copy(s_disc, m_scratch, std::filesystem::copy_options::recursive);
        }
        return m_scratch;
    }
    void Reopen()
    {
        Close();
        std::filesystem::current_path(m_old);
        Open(Scratch());
    }
    // Writes a disc file (path with backslashes) of the scratch copy; text given in UTF-8 is
    // stored in Windows-1251 as the catalogue files are.
    void WriteFile(const std::string& disc_path, const std::string& utf8)
    {
        std::string path = disc_path;
        for (char& c : path)
            if (c == '\\')
                c = '/';
        std::ofstream out(Scratch() / path, std::ios::binary | std::ios::trunc);
        out << Utf8ToCp1251(utf8);
    }
    std::filesystem::path ScratchPath(std::string disc_path)
    {
        for (char& c : disc_path)
            if (c == '\\')
                c = '/';
        return Scratch() / disc_path;
    }

    TVelmarForm& Form() { return harness->Form(); }

    // The node reached through these captions (UTF-8) from a root, or null.
    TTreeNode* Node(TTreeView* tree, std::initializer_list<const char*> path)
    {
        TTreeNode* node = nullptr;
        for (const char* caption : path) {
            std::string wanted = Utf8ToCp1251(caption);
            TTreeNode* next = nullptr;
            int count = node ? node->Count() : tree->Items().Count();
            for (int i = 0; i < count && !next; ++i) {
                TTreeNode* candidate = node ? node->Item(i) : tree->Items()[i];
                if ((node || !candidate->Parent()) && candidate->Text() == wanted)
                    next = candidate;
            }
            if (!next)
                return nullptr;
            node = next;
        }
        return node;
    }
    // Clicks a node's caption as the user does (its ancestors expanded first).
    void ClickNode(TTreeView* tree, TTreeNode* node)
    {
        ASSERT_NE(node, nullptr);
        node->MakeVisible();
        harness->Wait(0);
        Rect rect = node->DisplayRect(true);
        Point origin = tree->WindowOrigin();
        harness->Click(origin.x + rect.left + 3, origin.y + (rect.top + rect.bottom) / 2);
    }
    void ClickControl(TControl* control)
    {
        Point origin = control->WindowOrigin();
        harness->Click(origin.x + control->Width() / 2, origin.y + control->Height() / 2);
    }
    void Next() { ClickControl(Form().ImageNext); }
    void Prev() { ClickControl(Form().ImagePrev); }
    std::vector<std::string> Errors()
    {
        std::vector<std::string> messages;
        for (const auto& box : harness->Backend().TakeErrorBoxes())
            messages.push_back(box.message);
        return messages;
    }
    std::string Info() { return Cp1251ToUtf8(Form().InfoLabel->Caption()); }
    std::string ViewerClass()
    {
        TGraphic* graphic = Form().Image->Picture().Graphic();
        return graphic ? graphic->ClassName() : "none";
    }
    // Stacking position among the siblings: a picture above `body` shows, one below it is hidden.
    static int AppZ(TControl* control)
    {
        const auto& siblings = control->Parent()->Controls();
        for (std::size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i] == control)
                return int(i);
        return -1;
    }
    bool NextActive() { return Form().ImageNext->Visible(); }
    bool PrevActive() { return Form().ImagePrev->Visible(); }

    std::unique_ptr<Harness> harness;

private:
    std::filesystem::path m_old, m_scratch;
    static inline std::filesystem::path s_disc;
    static inline int s_count = 0;
};
