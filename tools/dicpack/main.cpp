// dicpack: packs any file into the built-in dictionary's resource format
// and unpacks such a file again.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "dictionary/resource_decoder.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

constexpr const char* kUsage =
    "usage: dicpack encode IN OUT   pack IN into the resource format\n"
    "       dicpack decode IN OUT   unpack a packed file IN\n";

std::optional<std::vector<uint8_t>> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteFile(const char* path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

int Fail(const char* what, const char* path, const char* why) {
    std::fprintf(stderr, "dicpack: %s %s: %s\n", what, path, why);
    return 1;
}

int Encode(const char* inPath, const char* outPath) {
    const auto input = ReadFile(inPath);
    if (!input) return Fail("cannot read", inPath, std::strerror(errno));
    if (input->size() > kMaxResourceInput) return Fail("cannot pack", inPath, "larger than 4 GiB - 1");
    const std::vector<uint8_t> stored = EncodeResource(*input);
    if (!WriteFile(outPath, stored.data(), stored.size())) return Fail("cannot write", outPath, std::strerror(errno));
    return 0;
}

int Decode(const char* inPath, const char* outPath) {
    const auto stored = ReadFile(inPath);
    if (!stored) return Fail("cannot read", inPath, std::strerror(errno));
    const DecodedResource decoded = DecodeResource(*stored, {.maxSize = 0xFFFFFFFF, .strict = true});
    if (decoded.status != DecodeStatus::kOk) return Fail("cannot unpack", inPath, DescribeDecodeStatus(decoded.status));
    if (!WriteFile(outPath, reinterpret_cast<const uint8_t*>(decoded.bytes.get()), decoded.size))
        return Fail("cannot write", outPath, std::strerror(errno));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "encode") == 0) return Encode(argv[2], argv[3]);
    if (std::strcmp(argv[1], "decode") == 0) return Decode(argv[2], argv[3]);
    std::fprintf(stderr, "dicpack: unknown command '%s'\n%s", argv[1], kUsage);
    return 2;
}
