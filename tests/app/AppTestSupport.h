#pragma once

#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

// A harness on a scratch disc folder (empty unless a test fills it), restored on teardown.
class HarnessTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_old = std::filesystem::current_path();
        m_disc = std::filesystem::temp_directory_path()
            / ("velmar-app-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
        std::filesystem::create_directories(m_disc);
        PrepareDisc(m_disc);
        harness = std::make_unique<Harness>(m_disc.string());
    }
    void TearDown() override
    {
        harness.reset();
        std::filesystem::current_path(m_old);
        std::filesystem::remove_all(m_disc);
    }
    virtual void PrepareDisc(const std::filesystem::path&) { }

    TVelmarForm& Form() { return harness->Form(); }
    // The stacking position of a control among its siblings (windowless below windowed).
    static int Z(TControl* control)
    {
        int position = 0;
        for (bool windowed : { false, true })
            for (TControl* sibling : control->Parent()->Controls())
                if (sibling->IsWindowed() == windowed) {
                    if (sibling == control)
                        return position;
                    ++position;
                }
        return -1;
    }

    std::unique_ptr<Harness> harness;

private:
    std::filesystem::path m_old, m_disc;
    static inline int s_count = 0;
};
