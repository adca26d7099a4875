// Replays a fuzz target's corpus without libFuzzer: every file named on the
// command line, and every file in a folder named there, is fed once to the
// target's entry function. An argument "--only=SUFFIX" limits the folders
// named after it to files ending in SUFFIX (the script tests keep their
// expected output beside each script). A fault the target finds aborts the
// program.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool IsFolder(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EndsWith(const std::string &s, const std::string &suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void Collect(const std::string &path, const std::string &suffix, std::vector<std::string> &files) {
    if (!IsFolder(path)) {
        files.push_back(path);
        return;
    }
    DIR *d = opendir(path.c_str());
    if (!d) return;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string full = path + "/" + name;
        if (!IsFolder(full) && EndsWith(name, suffix)) files.push_back(full);
    }
    closedir(d);
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<std::string> files;
    std::string suffix;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--only=", 0) == 0)
            suffix = arg.substr(7);
        else
            Collect(arg, suffix, files);
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "no corpus files\n");
        return 1;
    }
    for (const std::string &f : files) {
        std::ifstream in(f, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", f.c_str());
            return 1;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
