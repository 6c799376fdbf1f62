// Runs a fuzz target without libFuzzer: standalone <seed folder> <variants>.
// Every seed, then random variants of them (bytes replaced, inserted, dropped,
// or a piece of another seed spliced in), so the targets' oracles check the
// code in every build and not only in the fuzzing one. A failed oracle aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> ReadSeeds(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> paths(std::filesystem::directory_iterator(folder), {});
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> seeds;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return seeds;
}

std::string Variant(const std::vector<std::string>& seeds, const std::string& alphabet, std::mt19937& random) {
    std::string s = seeds[random() % seeds.size()];
    for (int edits = 1 + random() % 4; edits > 0; --edits) {
        const size_t at = s.empty() ? 0 : random() % (s.size() + 1);
        const char c = alphabet[random() % alphabet.size()];
        const std::string& other = seeds[random() % seeds.size()];
        const size_t from = other.empty() ? 0 : random() % other.size();
        switch (random() % 4) {
            case 0: if (at < s.size()) s[at] = c; break;
            case 1: s.insert(s.begin() + at, c); break;
            case 2: if (at < s.size()) s.erase(at, 1 + random() % 4); break;
            default: s.insert(at, other.substr(from, 1 + random() % 16));
        }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::vector<std::string> seeds = ReadSeeds(argv[1]);
    std::string alphabet;
    for (const std::string& seed : seeds) alphabet += seed;
    std::mt19937 random(1);
    const long variants = std::atol(argv[2]);
    for (long i = 0; i < long(seeds.size()) + variants; ++i) {
        const std::string input = i < long(seeds.size()) ? seeds[i] : Variant(seeds, alphabet, random);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    }
    return 0;
}
