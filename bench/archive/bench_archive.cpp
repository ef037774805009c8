// Delivers a 64 MB entry to memory from a deflated, a stored and an AES-256 (stored)
// archive, and times `unzip -p` on the same deflated archive in the same run, then
// prints the throughput ratio. The archives are made at start in a temporary folder
// with the real tools (zip, 7zz); a missing tool skips its benchmark.
#include "archive/archiva.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSize = 64u << 20;

struct Setup {
    std::string folder;
    std::string deflated, stored, aes;
    double archivaDeflatedBest = 0; // seconds per pass, best of the run
    double unzipBest = 0;
};
Setup g;

bool Shell(const std::string& command)
{
    int status = std::system(("cd '" + g.folder + "' && " + command).c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Half text, half noise: deflate gains about two to one, like pictures and metafiles mixed.
void MakePayload(const std::string& path)
{
    std::string data;
    data.reserve(kSize);
    unsigned state = 12345;
    static const char* words[] = {"gallery ", "colour ", "frame ", "exposition ", "pack "};
    while (data.size() < kSize) {
        state = state * 1103515245u + 12345u;
        if ((state >> 16) % 2 == 0) {
            for (int i = 0; i < 16; ++i) {
                state = state * 1103515245u + 12345u;
                data += char(state >> 24);
            }
        } else {
            data += words[(state >> 20) % 5];
        }
    }
    data.resize(kSize);
    std::ofstream(path, std::ios::binary).write(data.data(), std::streamsize(data.size()));
}

void Prepare()
{
    char templ[] = "/tmp/bench_archive.XXXXXX";
    if (!mkdtemp(templ))
        std::abort();
    g.folder = templ;
    MakePayload(g.folder + "/payload.bin");
    if (Shell("zip -q -X -6 deflated.zip payload.bin") && Shell("zip -q -X -0 stored.zip payload.bin")) {
        g.deflated = g.folder + "/deflated.zip";
        g.stored = g.folder + "/stored.zip";
    }
    if (Shell("7zz a -bd -bso0 -tzip -mm=Copy -mem=AES256 -pbench aes.zip payload.bin"))
        g.aes = g.folder + "/aes.zip";
}

// One pass: deliver every entry into a buffer sized from the directory.
std::size_t DeliverToMemory(const std::string& path, const std::string& password, int& result)
{
    std::vector<unsigned char> out;
    std::size_t filled = 0;
    archiva::task job;
    job.Password = password;
    job.OnEvent = [&](int event, archiva::task&, archiva::entry* item) {
        if (event == archiva::EventEntryBegin) {
            item->Action = archiva::ActionDeliver;
            out.resize(std::size_t(item->UncompressedSize));
            filled = 0;
        }
    };
    job.OnData = [&](archiva::task&, archiva::entry&, const unsigned char* bytes, std::size_t n) {
        std::copy(bytes, bytes + n, out.data() + filled);
        filled += n;
    };
    result = job.Run(path);
    benchmark::DoNotOptimize(out.data());
    return filled;
}

void Deliver(benchmark::State& state, const std::string* path, const char* password, double* best)
{
    if (path->empty()) {
        state.SkipWithError("the tool to make this archive is not installed");
        return;
    }
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int result = 0;
        std::size_t n = DeliverToMemory(*path, password, result);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result != 0 || n != kSize) {
            state.SkipWithError("delivery failed");
            return;
        }
        if (best && (*best == 0 || seconds < *best))
            *best = seconds;
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSize));
}

void BM_DeliverDeflated(benchmark::State& s) { Deliver(s, &g.deflated, "", &g.archivaDeflatedBest); }
void BM_DeliverStored(benchmark::State& s) { Deliver(s, &g.stored, "", nullptr); }
void BM_DeliverAes256(benchmark::State& s) { Deliver(s, &g.aes, "bench", nullptr); }

void BM_UnzipPipeDeflated(benchmark::State& state)
{
    if (g.deflated.empty() || std::system("command -v unzip >/dev/null 2>&1") != 0) {
        state.SkipWithError("unzip or zip is not installed");
        return;
    }
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (!Shell("unzip -p deflated.zip payload.bin > /dev/null")) {
            state.SkipWithError("unzip failed");
            return;
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (g.unzipBest == 0 || seconds < g.unzipBest)
            g.unzipBest = seconds;
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSize));
}

BENCHMARK(BM_DeliverDeflated)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeliverStored)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeliverAes256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnzipPipeDeflated)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g.archivaDeflatedBest > 0 && g.unzipBest > 0) {
        const double mb = double(kSize) / (1 << 20);
        std::printf("deflated 64 MB, best pass: archiva %.0f MB/s, unzip -p %.0f MB/s, ratio %.2f\n",
                    mb / g.archivaDeflatedBest, mb / g.unzipBest, g.unzipBest / g.archivaDeflatedBest);
    }
    std::error_code ignored;
    fs::remove_all(g.folder, ignored);
    return 0;
}
