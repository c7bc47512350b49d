// Throughput of the text readers on normal and hostile input: the settings file, the argument
// string, Java version texts and the release file.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "fakes/fake_platform.h"
#include "javainfo/java_version.h"
#include "javainfo/release_file.h"
#include "startup/settings_file.h"
#include "startup/startup_settings.h"

namespace {

constexpr std::size_t kKiB = 1024;

enum class SettingsShape { Normal, OneHugeLine, NoColons, ManyColons, InvalidUtf8 };

// Repeats `pattern` (whole copies, then a cut-off copy) until exactly `size` bytes.
std::string Repeat(const std::string& pattern, std::size_t size) {
  std::string bytes;
  bytes.reserve(size);
  while (bytes.size() < size) bytes += pattern.substr(0, size - bytes.size());
  return bytes;
}

std::string SettingsBytes(SettingsShape shape, std::size_t size) {
  std::mt19937 random(20240611);  // fixed, so every run reads the same bytes
  switch (shape) {
    case SettingsShape::Normal:
      return Repeat(
          "Arguments: -J-Xmx2048m -nofontcheck\r\nJava:C:\\K\\jdk\\bin\\java.exe\r\n"
          "Scale:1.5\r\nVerbose:Yes\r\nAllowUIScale:No\r\nDisableDD2:No\r\nKeepWS:Yes\r\n"
          "LegacyMS2:Yes\r\nPreferIPv4:No\r\n",
          size);
    case SettingsShape::OneHugeLine: return "Arguments:" + std::string(size - 10, 'x');
    case SettingsShape::NoColons: {
      // Words and line ends but never a colon: the reader must give up, not scan forever.
      std::string bytes;
      bytes.reserve(size);
      while (bytes.size() < size) {
        const auto draw = random() % 28;
        bytes += draw < 26 ? static_cast<char>('a' + draw) : draw == 26 ? ' ' : '\n';
      }
      return bytes;
    }
    case SettingsShape::ManyColons:
      // Values that are themselves long runs of colons, just inside the value limit.
      return Repeat(
          "Arguments:" + std::string(900, ':') + "\r\nScale:" + std::string(900, ':') + "\r\n",
          size);
    case SettingsShape::InvalidUtf8: {
      // Valid keys whose values are overlong forms, lone continuation bytes and 0xFF.
      const std::array<std::string, 4> garbage = {"\xC0\x80", "\x80\xBF", "\xFF", "\xED\xA0\x80"};
      std::string bytes;
      bytes.reserve(size + 128);
      while (bytes.size() < size) {
        bytes += "Scale:";
        for (int i = 0; i < 30; ++i) bytes += garbage[random() % garbage.size()];
        bytes += "\r\n";
      }
      bytes.resize(size);
      return bytes;
    }
  }
  return {};
}

// Decoding and reading together: what a load does once the bytes are in memory.
void SettingsText(benchmark::State& state, SettingsShape shape) {
  const std::string bytes = SettingsBytes(shape, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::wstring text;
    StartupSettings settings;
    DecodeTextFile(bytes, text);
    ReadSettingsText(settings, text);
    benchmark::DoNotOptimize(settings);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}

// 256 KiB and 4 MiB besides the sizes of interest: on either side of the processor's caches,
// they tell a cache effect from work that grows faster than the input.
void SizesOfSettingsFiles(benchmark::internal::Benchmark* benchmark) {
  for (const std::size_t size : {1 * kKiB, 64 * kKiB, 256 * kKiB, 1024 * kKiB, 4096 * kKiB}) {
    benchmark->Arg(static_cast<std::int64_t>(size));
  }
  benchmark->Unit(benchmark::kMicrosecond);
}

BENCHMARK_CAPTURE(SettingsText, normal, SettingsShape::Normal)->Apply(SizesOfSettingsFiles);
BENCHMARK_CAPTURE(SettingsText, one_huge_line, SettingsShape::OneHugeLine)
    ->Apply(SizesOfSettingsFiles);
BENCHMARK_CAPTURE(SettingsText, no_colons, SettingsShape::NoColons)->Apply(SizesOfSettingsFiles);
BENCHMARK_CAPTURE(SettingsText, many_colons, SettingsShape::ManyColons)
    ->Apply(SizesOfSettingsFiles);
BENCHMARK_CAPTURE(SettingsText, invalid_utf8, SettingsShape::InvalidUtf8)
    ->Apply(SizesOfSettingsFiles);

// The whole load from a file on disk (through the test doubles, which read real files).
void LoadSettingsFile(benchmark::State& state) {
  fake::ResetAll();
  fake::SetProgramPath(L"C:\\K\\bin\\win\\KelvorStartupSettings.exe");
  const std::string bytes =
      SettingsBytes(SettingsShape::Normal, static_cast<std::size_t>(state.range(0)));
  fake::WriteFile(L"C:\\K\\Kelvor_ss", bytes);
  for (auto _ : state) {
    StartupSettings settings;
    std::wstring errorText;
    if (!LoadSettingsFromFile(settings, errorText)) state.SkipWithError("the load failed");
    benchmark::DoNotOptimize(settings);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(LoadSettingsFile)->Apply(SizesOfSettingsFiles);

void ParseArguments(benchmark::State& state) {
  const std::array<std::wstring, 6> tokens = {L"-J-Xmx2048m", L"-nofontcheck",  L"-J-Dsun.io=1",
                                              L"-J-Xmx4g",    L"/nofontcheckX", L"-J-Xss8m"};
  std::wstring text;
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    text += L' ';
    text += tokens[static_cast<std::size_t>(i) % tokens.size()];
  }
  for (auto _ : state) {
    StartupSettings settings;
    settings.ParseArguments(text);
    benchmark::DoNotOptimize(settings);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ParseArguments)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Version texts as vendors really write them, both forms, with pre-release and build parts.
const std::vector<std::wstring>& VersionCorpus() {
  static const std::vector<std::wstring> corpus = {L"1.8.0_292",
                                                   L"1.8.0_382-b05",
                                                   L"1.7.0_80",
                                                   L"1.8.0-x-ea-b12",
                                                   L"11.0.2+9",
                                                   L"11.0.16.1",
                                                   L"17",
                                                   L"17.0.2",
                                                   L"17.0.1+12-LTS",
                                                   L"17-ea+35",
                                                   L"17.0.8.1+1",
                                                   L"19.0.2+7",
                                                   L"21",
                                                   L"21.0.1+12",
                                                   L"21.0.4+7-LTS",
                                                   L"22-ea",
                                                   L"23.0.1",
                                                   L"25-ea+3",
                                                   L"26.0.1",
                                                   L"1.6.0_45",
                                                   L"9.0.4",
                                                   L"10.0.2+13",
                                                   L"13.0.14+5",
                                                   L"15.0.10",
                                                   L"18.0.2.1",
                                                   L"20.0.2+9-78",
                                                   L"16.0.2+7",
                                                   L"12.0.2",
                                                   L"14.0.2+12",
                                                   L"1.8.0_202"};
  return corpus;
}

void ParseJavaVersions(benchmark::State& state) {
  const auto& corpus = VersionCorpus();
  for (auto _ : state) {
    for (const std::wstring& text : corpus) benchmark::DoNotOptimize(ParseJavaVersion(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(corpus.size()));
}
BENCHMARK(ParseJavaVersions);

// A long release file whose JAVA_VERSION line comes last, so every line before it is scanned.
std::string LongReleaseFile(std::size_t size) {
  const std::string line = "  MODULES=\"java.base java.compiler java.datatransfer\"\n";
  std::string bytes = "IMPLEMENTOR=\"Bench\"\n";
  bytes.reserve(size + line.size());
  while (bytes.size() + line.size() < size) bytes += line;
  return bytes + "JAVA_VERSION=\"17.0.2\"\n";
}

void ReleaseText(benchmark::State& state) {
  std::wstring text;
  DecodeTextFile(LongReleaseFile(static_cast<std::size_t>(state.range(0))), text);
  for (auto _ : state) {
    std::wstring version;
    if (!ReleaseVersionFromText(text, version)) state.SkipWithError("no version found");
    benchmark::DoNotOptimize(version);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(ReleaseText)->Arg(64 * kKiB)->Arg(1024 * kKiB)->Unit(benchmark::kMicrosecond);

void ReadReleaseFile(benchmark::State& state) {
  fake::ResetAll();
  const std::string bytes = LongReleaseFile(static_cast<std::size_t>(state.range(0)));
  fake::WriteFile(L"C:\\jdk\\release", bytes);
  for (auto _ : state) {
    std::wstring version;
    if (!ReadReleaseVersion(L"C:\\jdk", version)) state.SkipWithError("no version found");
    benchmark::DoNotOptimize(version);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(ReadReleaseFile)->Arg(64 * kKiB)->Arg(1024 * kKiB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
