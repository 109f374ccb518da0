// Finding the Wine prefix at start-up, in a home folder with 50 prefixes
// spread over Wine and the launchers, as a player with many games has them:
// user.reg files of 256 KB, every tenth of 4 MB, 29 MB in all. The game is in
// one prefix, or (the case where every user.reg has to be parsed) in all.
//
// Set against reading the same 50 user.reg files with plain system calls,
// the two in turns. Then a user.reg of 64 MiB of nothing but the game's
// headers: the time to scan it must grow with its size alone.

#include "bench/bench_support.h"
#include "platform/wine/prefix_discovery.h"
#include "platform/wine_registry.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wine_prefixes.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quorvel::test::MakePrefix;
using quorvel::test::WriteFile;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPrefixes = 50;
constexpr const char* kGameKey = "Software\\2015\\MOHAA";

double Elapsed(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A home folder and where its prefixes are.
class Home {
public:
    explicit Home(bool gameEverywhere) {
        const fs::path home = dir_.Path();
        std::vector<fs::path> places{home / ".wine"};
        for (int i = 0; i < 8; ++i) {
            const std::string game = "game" + std::to_string(i);
            WriteFile(home / ".config/lutris/games" / (game + ".yml"),
                      "game:\n  exe: drive_c/game.exe\n  prefix: " +
                          (home / "Games" / game).string() + "\nname: Game\nrunner: wine\n");
            places.push_back(home / "Games" / game);
            WriteFile(home / ".config/heroic/GamesConfig" / (game + ".json"),
                      R"({")" + game + R"(": {"winePrefix": ")" +
                          (home / "Games/Heroic/Prefixes/default" / game).string() +
                          R"(", "wineVersion": {"type": "wine"}}})");
            places.push_back(home / "Games/Heroic/Prefixes/default" / game);
            places.push_back(home / ".local/share/bottles/bottles" / game);
        }
        WriteFile(home / ".local/share/Steam/steamapps/libraryfolders.vdf",
                  "\"libraryfolders\"\n{\n\t\"0\" { \"path\" \"" +
                      (home / ".local/share/Steam").string() + "\" }\n\t\"1\" { \"path\" \"" +
                      (home / "SteamLibrary").string() + "\" }\n}\n");
        for (int i = 0; i < 15; ++i) {
            places.push_back(home / (i < 10 ? ".local/share/Steam" : "SteamLibrary") /
                             "steamapps/compatdata" / std::to_string(200 + i) / "pfx");
        }
        for (int i = 0; i < 5; ++i) {
            places.push_back(home / ".local/share/wineprefixes" / ("tricks" + std::to_string(i)));
            places.push_back(home / ".PlayOnLinux/wineprefix" / ("pol" + std::to_string(i)));
        }
        for (std::size_t i = 0; i < places.size(); ++i) {
            // The game, alone, in a Steam prefix: past most of the others.
            const bool game = gameEverywhere || i == 30;
            const std::size_t size = i % 10 == 9 ? 4u << 20 : 256u << 10;
            MakePrefix(places[i], game, 1700000000 + static_cast<long long>(i), size);
            userRegs_.push_back((places[i] / "user.reg").string());
        }
        ::sync();
        env_ = {
            home.string(), (home / ".config").string(), (home / ".local/share").string(), {}, {}};
    }

    const quorvel::DiscoveryEnvironment& Env() const { return env_; }
    const std::vector<std::string>& UserRegs() const { return userRegs_; }

private:
    quorvel::test::TempDir dir_;
    quorvel::DiscoveryEnvironment env_;
    std::vector<std::string> userRegs_;
};

// Reads every user.reg whole, with nothing else done.
bool ReadPlain(const std::vector<std::string>& paths, std::vector<char>& buffer) {
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
        }
        ::close(fd);
        if (got < 0) {
            return false;
        }
    }
    return true;
}

void BM_Discovery(benchmark::State& state) {
    const bool everywhere = state.range(0) != 0;
    const Home home(everywhere);
    std::vector<char> buffer(1u << 20);
    const std::string expected = home.UserRegs()[everywhere ? kPrefixes - 1 : 30];
    quorvel::bench::RunPaired(
        state,
        [&] {
            const Clock::time_point start = Clock::now();
            const quorvel::DiscoveryResult result =
                quorvel::DiscoverWinePrefix(home.Env(), kGameKey);
            const double seconds = Elapsed(start);
            const bool right = result.found && result.checked.size() == kPrefixes &&
                               result.prefix + "/user.reg" == expected;
            return right ? seconds : -1;
        },
        [&] {
            const Clock::time_point start = Clock::now();
            const bool read = ReadPlain(home.UserRegs(), buffer);
            return read ? Elapsed(start) : -1;
        });
    state.counters["prefixes"] = static_cast<double>(kPrefixes);
}

BENCHMARK(BM_Discovery)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A user.reg of 64 MiB that is nothing but headers of the game's key, each
// of which the search must look at: once in discovery's header scan (the
// prefix given as $WINEPREFIX), once in the parser of user.reg.
constexpr std::size_t kFloodBytes = std::size_t{64} << 20;

std::string HeaderFlood() {
    const std::string header = "[Software\\\\2015\\\\MOHAA] 1700000000\n";
    std::string text;
    text.reserve(kFloodBytes + header.size());
    while (text.size() < kFloodBytes) {
        text += header;
    }
    return text;
}

void BM_HeaderFlood(benchmark::State& state) {
    quorvel::test::TempDir dir;
    const fs::path prefix = dir.Path() / "pfx";
    const std::string text = HeaderFlood();
    WriteFile(prefix / "user.reg", text);
    const std::vector<std::string> userReg{(prefix / "user.reg").string()};
    std::vector<char> buffer(1u << 20);
    const quorvel::DiscoveryEnvironment env{dir.Path().string(), {}, {}, prefix.string(), {}};
    quorvel::bench::RunPaired(
        state,
        [&] {
            const Clock::time_point start = Clock::now();
            const bool found = quorvel::DiscoverWinePrefix(env, kGameKey).found;
            return found ? Elapsed(start) : -1;
        },
        [&] {
            const Clock::time_point start = Clock::now();
            return ReadPlain(userReg, buffer) ? Elapsed(start) : -1;
        });
    state.counters["MiB"] = static_cast<double>(text.size()) / (1 << 20);
}

BENCHMARK(BM_HeaderFlood)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ParseHeaderFlood(benchmark::State& state) {
    const std::string text = HeaderFlood();
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const bool found = quorvel::WineRegistryFile::Parse(text).HasKey(kGameKey);
        state.SetIterationTime(Elapsed(start));
        if (!found) {
            state.SkipWithError("the key was not found");
            break;
        }
    }
    state.counters["MiB"] = static_cast<double>(text.size()) / (1 << 20);
}

BENCHMARK(BM_ParseHeaderFlood)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return quorvel::bench::RunBenchmarks(
        argc, argv,
        {{"Finding the prefix among 50, the game in one, against reading their user.reg files "
          "in plain C",
          "BM_Discovery/0", "", 0},
         {"Finding the prefix among 50, the game in all, against reading their user.reg files "
          "in plain C",
          "BM_Discovery/1", "", 0}},
        {{"finding the prefix among 50, the game in one", "BM_Discovery/0", "", 0.1, "s"},
         {"finding the prefix among 50, the game in all", "BM_Discovery/1", "", 0.1, "s"},
         {"scanning a user.reg of 64 MiB of the game's headers", "BM_HeaderFlood", "", 1.0, "s"},
         {"parsing a user.reg of 64 MiB of the game's headers", "BM_ParseHeaderFlood", "", 1.0,
          "s"}});
}
