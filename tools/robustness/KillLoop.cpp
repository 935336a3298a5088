// quillary-kill-loop [ROUNDS [MEGABYTES [SEED]]]
// Kills a process in the middle of replacing a file, again and again: each
// round a child replaces a file of MEGABYTES with another of the same size
// and is sent SIGKILL (now and then SIGTERM) at a random moment of the
// write. Afterwards the file must hold the complete old or the complete new
// bytes, and nothing else may be left in its folder once the next write
// there has run.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "platform/FileIO.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file in a child process; signal 0 lets it finish.
// Returns how long it ran.
Clock::duration ReplaceInChild(const fs::path& file, const std::string& bytes, Clock::duration killAfter, int signal) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    quillary::RemoveTemporaryFilesOnSignals();
    try {
      quillary::ReplaceFileContents(file, bytes);
    } catch (...) {
      _exit(2);
    }
    _exit(0);
  }
  if (signal != 0) {
    std::this_thread::sleep_for(killAfter);
    kill(child, signal);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return Clock::now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  const std::size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 64;
  std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  const fs::path folder = fs::temp_directory_path() / ("quillary-kill-loop-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "target.csv";
  const std::string first(megabytes << 20, 'A');
  const std::string second(megabytes << 20, 'B');
  quillary::ReplaceFileContents(file, first);
  // How long an uninterrupted write takes; kills land anywhere in it.
  const auto whole = ReplaceInChild(file, second, {}, 0);
  int old = 0, complete = 0, broken = 0, momentary = 0, leftovers = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string& before = round % 2 == 0 ? second : first;
    const std::string& after = round % 2 == 0 ? first : second;
    if (ReadAll(file) != before) quillary::ReplaceFileContents(file, before);
    const auto delay =
        std::chrono::duration_cast<Clock::duration>(whole * std::uniform_real_distribution<double>(0.0, 1.1)(random));
    ReplaceInChild(file, after, delay, random() % 8 == 0 ? SIGTERM : SIGKILL);
    const std::string now = ReadAll(file);
    if (now == before)
      ++old;
    else if (now == after)
      ++complete;
    else
      ++broken;
    // A kill in the instant between naming the temporary file and renaming
    // it leaves the name for a moment; the next write in the folder must
    // remove it.
    const auto others = [&] { return std::distance(fs::directory_iterator(folder), {}) - 1; };
    if (others() > 0) {
      ++momentary;
      quillary::ReplaceFileContents(folder / "next.csv", "next");
      fs::remove(folder / "next.csv");
      for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path() == file) continue;
        ++leftovers;
        std::printf("left behind: %s\n", entry.path().c_str());
        fs::remove(entry.path());
      }
    }
  }
  fs::remove_all(folder);
  std::printf(
      "%d kills during %zu MiB writes of %.0f ms: %d old file whole, %d new file whole, %d broken; "
      "%d times a temporary name stood until the next write, %d temporary files left\n",
      rounds, megabytes, std::chrono::duration<double, std::milli>(whole).count(), old, complete, broken, momentary,
      leftovers);
  return broken == 0 && leftovers == 0 ? 0 : 1;
}
