#include "platform/system_mixer.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace orv {
namespace {

namespace fs = std::filesystem;

// A mixer program in a folder whose name has a space: it is found, and started with its
// arguments as separate words, no shell in between.
TEST(SystemMixer, AProgramInAFolderWithASpaceStartsWithItsArguments) {
    const fs::path dir = fs::temp_directory_path() / ("orvandel mixer " + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path said = dir / "said.txt";
    {
        std::ofstream script(dir / "pavucontrol");
        script << "#!/bin/sh\nprintf '%s|' \"$@\" > '" << said.string() << "'\n";
    }
    fs::permissions(dir / "pavucontrol", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

    SystemMixer mixer(true);
    const std::string command = mixer.find();
    EXPECT_EQ(command, "\"" + (dir / "pavucontrol").string() + "\"");
    EXPECT_TRUE(mixer.start(command, true, 2));
    std::string text;
    for (int k = 0; k < 100 && text.empty(); ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in(said);
        std::getline(in, text);
    }
    EXPECT_EQ(text, "--tab=4|");
    ::setenv("PATH", oldPath.c_str(), 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orv
