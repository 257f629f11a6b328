// kavri-art as a whole process beside figlet and toilet, and the window's capture and scan
// of the input memo in-process.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ArtScan.h"
#include "core/MemoCapture.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WinApi.h"

namespace {

constexpr const char* kText = "Kavri 10";

std::string KavriArt() { return std::string(KAVRI_BINARY_DIR) + "/tools/kavri-art/kavri-art"; }

// The program of that name on PATH, or empty.
std::string OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return {};
}

// Runs the program to its end with standard input and output on /dev/null; false when it
// could not be started or did not exit with 0.
bool RunOnce(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) _exit(126);
    dup2(null, 0);
    dup2(null, 1);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RunProcess(benchmark::State& state, const std::string& program, const std::vector<std::string>& args,
                const char* missing) {
  if (program.empty() || access(program.c_str(), X_OK) != 0) {
    state.SkipWithError(missing);
    return;
  }
  if (!RunOnce(program, args)) {
    state.SkipWithError(("the program failed: " + program).c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(RunOnce(program, args));
}

void BM_KavriArtProcess(benchmark::State& state) {
  RunProcess(state, KavriArt(), {kText}, "kavri-art is not built (build the kavri-art target)");
}
BENCHMARK(BM_KavriArtProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KavriArtProcessLarge(benchmark::State& state) {
  RunProcess(state, KavriArt(), {"-s", "40", kText}, "kavri-art is not built (build the kavri-art target)");
}
BENCHMARK(BM_KavriArtProcessLarge)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FigletProcess(benchmark::State& state) {
  RunProcess(state, OnPath("figlet"), {kText}, "figlet is not installed (scripts/deps.sh installs it)");
}
BENCHMARK(BM_FigletProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ToiletProcess(benchmark::State& state) {
  RunProcess(state, OnPath("toilet"), {kText}, "toilet is not installed (scripts/deps.sh installs it)");
}
BENCHMARK(BM_ToiletProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a convert click costs in the window: copy the displayed memo and scan it.
void BM_MemoCaptureAndScan(benchmark::State& state) {
  WindowSystem::Install(std::make_unique<HeadlessHost>());
  WNDCLASS wc;
  wc.lpfnWndProc = &DefWindowProc;
  wc.hbrBackground = clWhite;
  wc.lpszClassName = "BenchSurface";
  RegisterClass(&wc);
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  HWND surface = CreateWindowEx(0, "BenchSurface", "", WS_POPUP | WS_VISIBLE, 0, 0, width + 4,
                                height + 4, nullptr, nullptr);
  MemoFont font;
  font.points = 40;
  HWND memo = CreateInputMemo(surface, {0, 0, width, height}, font);
  SetWindowText(memo, "爱 Kavri\r\nKavri 10");
  WindowSystem::Current().ProcessMessages();
  std::size_t lines = 0;
  for (auto _ : state) {
    const std::unique_ptr<Bitmap> capture = MemoToBitmap(memo);
    lines = ScanArtLines(*capture, "爱", "  ").size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
  DestroyWindow(surface);
  WindowSystem::Shutdown();
}
BENCHMARK(BM_MemoCaptureAndScan)->Args({400, 150})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace
