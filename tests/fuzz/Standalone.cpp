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

std::string Variant(const std::vector<std::string>& seeds, const std::string& alphabet, std::mt19937& random) {
    std::string s = seeds[random() % seeds.size()];
    for (int edits = 1 + random() % 4; edits > 0; --edits) {
        const size_t at = random() % (s.size() + 1);
        const std::string& other = seeds[random() % seeds.size()];
        switch (random() % 4) {
            case 0: if (at < s.size()) s[at] = alphabet[random() % alphabet.size()]; break;
            case 1: s.insert(s.begin() + at, alphabet[random() % alphabet.size()]); break;
            case 2: if (at < s.size()) s.erase(at, 1 + random() % 4); break;
            default: s.insert(at, other.substr(random() % (other.size() + 1), 1 + random() % 16));
        }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::vector<std::filesystem::path> paths(std::filesystem::directory_iterator(argv[1]), {});
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> seeds;
    std::string alphabet;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        alphabet += seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::mt19937 random(1);
    for (long i = 0; i < long(seeds.size()) + std::atol(argv[2]); ++i) {
        const std::string input = i < long(seeds.size()) ? seeds[i] : Variant(seeds, alphabet, random);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    }
    return 0;
}
