// Times list-file writes through the INI layer on real files against writing
// the same bytes once, and a batch five times as long against the first.
// Usage: bench_ini [folder] (default: a fresh temp folder).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "platform/sim/sim_system.h"
#include "platform/system.h"
#include "settings/ini.h"

namespace fs = std::filesystem;

namespace {

// Plain files through std::filesystem; replace is a temporary file and a rename.
class RealFiles : public q::FileSystem {
public:
    bool exists(const std::string& p) override { return fs::is_regular_file(p); }
    bool folder_exists(const std::string& p) override { return fs::is_directory(p); }
    bool read(const std::string& p, std::string& out) override {
        std::ifstream in(p, std::ios::binary);
        if (!in) return false;
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !in.bad();
    }
    std::optional<std::uint64_t> size(const std::string& p) override {
        std::error_code ec;
        const auto n = fs::file_size(p, ec);
        if (ec) return std::nullopt;
        return n;
    }
    bool read_part(const std::string& p, std::uint64_t offset, std::size_t length, std::string& out) override {
        std::string all;
        if (!read(p, all)) return false;
        out = offset < all.size() ? all.substr(static_cast<std::size_t>(offset), length) : std::string();
        return true;
    }
    // Flushed to the disk before the rename, as the win32 backend does (FlushFileBuffers, write-through move);
    // the bench sets the mode itself, whatever the caller asks.
    bool replace(const std::string& p, const std::string& data, Flush = Flush::Yes) override {
        const std::string temp = p + ".tmp";
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f) return false;
        bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size() && std::fflush(f) == 0 &&
                  (!flush || ::fsync(fileno(f)) == 0);
        ok = std::fclose(f) == 0 && ok;
        if (!ok) return false;
        std::error_code ec;
        fs::rename(temp, p, ec);
        return !ec;
    }
    bool flush = true;
    bool rename(const std::string& a, const std::string& b) override {
        std::error_code ec;
        fs::rename(a, b, ec);
        return !ec;
    }
    bool remove(const std::string& p) override {
        std::error_code ec;
        return fs::remove(p, ec);
    }
    bool create_folder(const std::string& p) override {
        std::error_code ec;
        return fs::create_directory(p, ec);
    }
    std::vector<Entry> enumerate(const std::string&) override { return {}; }
    std::string current_directory() override { return fs::current_path().string(); }
    bool set_current_directory(const std::string& p) override {
        std::error_code ec;
        fs::current_path(p, ec);
        return !ec;
    }
    bool set_hidden(const std::string&) override { return true; }
};

double ms_of(const std::function<void()>& prepare, const std::function<void()>& f) {
    prepare();
    auto t0 = std::chrono::steady_clock::now();
    f();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

struct Best {
    double a = 1e300, b = 1e300;
};

// The best times of a and of b, run in turns with their order swapped every
// round, so that a slow spell of the machine, or what one flushed write leaves
// the disk doing, falls on both alike.
Best best_in_turns(int rounds, const std::function<void()>& prepare_a, const std::function<void()>& a,
                   const std::function<void()>& prepare_b, const std::function<void()>& b) {
    Best best;
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            best.a = std::min(best.a, ms_of(prepare_a, a));
            best.b = std::min(best.b, ms_of(prepare_b, b));
        } else {
            best.b = std::min(best.b, ms_of(prepare_b, b));
            best.a = std::min(best.a, ms_of(prepare_a, a));
        }
    }
    return best;
}

std::string entry(int i) { return "C:\\我的音乐\\第" + std::to_string(i) + "首.mp3"; }

}  // namespace

int main(int argc, char** argv) {
    q::sim::SimSystem sim;  // every service but the files
    RealFiles files;
    q::System system{files, sim, sim, sim, sim, sim, sim, sim, sim};
    q::install_system(&system);

    fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "quillet_bench_ini";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string list = (dir / "list.ini").string(), bare = (dir / "bare.ini").string();
    auto fresh = [&] { fs::remove(list); };
    bool ok = true;
    const int kBatch = 10000, kLong = 50000, kSingle = 1000;
    // The program holds its list before it writes it: the texts are made outside the timing.
    std::vector<std::string> keys(kLong + 1), values(kLong + 1);
    for (int i = 1; i <= kLong; ++i) {
        keys[i] = std::to_string(i);
        values[i] = entry(i);
    }

    // The bytes each list comes to, for the bare writes beside it.
    std::string batch_bytes, single_bytes;
    auto batch_of = [&](int n) {
        return [&, n] {
            q::ini::Batch b(list, q::FileSystem::Flush::Yes);
            b.write("total", "count", std::to_string(n));
            for (int i = 1; i <= n; ++i) b.write("path", keys[i], values[i]);
            ok = b.commit() && ok;
        };
    };
    const auto batch_write = batch_of(kBatch), long_write = batch_of(kLong);
    auto single_writes = [&] {
        ok = q::ini::write(list, "total", "count", std::to_string(kSingle), q::FileSystem::Flush::Yes) && ok;
        for (int i = 1; i <= kSingle; ++i)
            ok = q::ini::write(list, "path", keys[i], values[i], q::FileSystem::Flush::Yes) && ok;
    };
    fresh();
    batch_write();
    ok = files.read(list, batch_bytes) && q::ini::read(list, "path", std::to_string(kBatch)) == entry(kBatch) && ok;
    files.flush = false;
    fresh();
    single_writes();
    ok = files.read(list, single_bytes) && ok;
    auto bare_of = [&](const std::string& bytes) {
        return [&, p = &bytes] { ok = files.replace(bare, *p) && ok; };
    };
    auto no_bare = [&] { fs::remove(bare); };

    // A numbered list written whole over the list already there, as the media page confirms one.
    auto list_write = [&] {
        q::ini::Batch b(list, q::FileSystem::Flush::Yes);
        b.write("total", "count", std::to_string(kLong));
        b.write_list("path", kLong, [&](std::size_t n, std::string& out) { out += values[n + 1]; });
        ok = b.commit() && ok;
    };
    std::string list_bytes;
    fresh();
    list_write();
    ok = files.read(list, list_bytes) && ok;

    auto run = [&](bool flush) {
        files.flush = flush;
        // 10,000 entries through one batch, 1,000 through single writes.
        const Best batch_best = best_in_turns(50, fresh, batch_write, no_bare, bare_of(batch_bytes));
        const Best single_best = best_in_turns(flush ? 2 : 4, fresh, single_writes, no_bare, bare_of(single_bytes));
        // Each batch timed against the other, so that the ratio says whether the cost grows linearly.
        const Best long_best = best_in_turns(30, fresh, long_write, fresh, batch_write);
        const double batch = batch_best.a, bare_batch = batch_best.b;
        const double single = single_best.a, bare_single = single_best.b;
        std::printf("%s\n", flush ? "flushed to disk before the rename (as the win32 backend):"
                                   : "not flushed (page cache only):");
        std::printf("  batch  %5d entries: %9.2f ms; one bare write of the same %7zu bytes: %7.2f ms; ratio %8.2f\n",
                    kBatch, batch, batch_bytes.size(), bare_batch, batch / bare_batch);
        std::printf("  batch  %5d entries: %9.2f ms; the batch of %d beside it: %7.2f ms; ratio %8.2f\n", kLong,
                    long_best.a, kBatch, long_best.b, long_best.a / long_best.b);
        const Best over = best_in_turns(30, [] {}, list_write, no_bare, bare_of(list_bytes));
        std::printf("  list   %5d entries over the same list: %9.2f ms; one bare write of the same %7zu bytes: "
                    "%7.2f ms; ratio %5.2f\n",
                    kLong, over.a, list_bytes.size(), over.b, over.a / over.b);
        std::printf("  single %5d entries: %9.2f ms; one bare write of the same %7zu bytes: %7.2f ms; ratio %8.2f\n",
                    kSingle, single, single_bytes.size(), bare_single, single / bare_single);
    };
    std::printf("real files in %s (temporary file + rename per write; best of several runs, each\n"
                "list and its bare write timed in turns)\n",
                dir.string().c_str());
    run(true);
    run(false);
    fs::remove_all(dir);
    q::install_system(nullptr);
    if (!ok) std::printf("FAILED: a write or the read-back failed\n");
    return ok ? 0 : 1;
}
