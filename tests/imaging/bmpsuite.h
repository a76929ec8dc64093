#pragma once
// The public BMP Suite in the shared folder: g/ good files, q/ questionable,
// b/ bad, x/ related formats, html/ reference pictures.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bmpsuite {

// The shared folder sits beside the source tree; TESSALY_SHARED_DIR points
// elsewhere, and a git worktree one level deeper finds it one level up.
inline std::filesystem::path Root()
{
    if (const char *shared = std::getenv("TESSALY_SHARED_DIR"))
        return std::filesystem::path(shared) / "bmpsuite";
    const std::filesystem::path source(TESSALY_SOURCE_DIR);
    const std::filesystem::path beside = source / ".." / "shared" / "bmpsuite";
    const std::filesystem::path above = source / ".." / ".." / "shared" / "bmpsuite";
    if (!std::filesystem::is_directory(beside) && std::filesystem::is_directory(above))
        return above;
    return beside;
}

inline bool Present()
{
    return std::filesystem::is_directory(Root() / "g");
}

inline std::string SkipReason()
{
    return "the BMP Suite is not at " + Root().string();
}

// Every .bmp in the suite's four folders, as "g/pal8.bmp" and so on, sorted.
inline std::vector<std::string> Files()
{
    std::vector<std::string> files;
    for (const char *folder : {"g", "q", "b", "x"}) {
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(Root() / folder, error)) {
            if (entry.path().extension() == ".bmp")
                files.push_back(std::string(folder) + "/" + entry.path().filename().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string Read(const std::string &relativePath)
{
    std::ifstream in(Root() / relativePath, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace bmpsuite
