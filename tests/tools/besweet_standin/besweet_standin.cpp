// Stand-in transcoder for tests and demos.
//
// Each run appends one line to the file named by KAVRIN_STANDIN_RECORD:
//   <current folder>|<startup flags>|<show state>|<command line>
// The folder cannot hold "|", so the command line is everything after the
// third one, exactly as GetCommandLineA gave it.
//
// It reads "-core( -input "X" -output "Y" -6ch|-ddwav|-2ch [-logfilea "L"]
// [-substream 0xNN] ) ...". When X exists it writes six mono WAVs Y + "FL.WAV"
// ... Y + "LFE.WAV" for -6ch, otherwise one stereo track at Y (AC3 bursts for
// -ddwav, a tone for -2ch), and appends a
// short report to L. KAVRIN_STANDIN_RUN_MS makes it take longer;
// KAVRIN_STANDIN_WRONG_STREAM names the end of an input whose AC3-CD track
// comes out as plain PCM;
// KAVRIN_STANDIN_EXIT_CODE sets its exit code (default 0, 1 for a missing input).
//
// "besweet_standin --make-sample <path> [kilobytes]" writes dummy input data.

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/stream_samples.hpp"

namespace {

std::string Environment(const char* name) {
  const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed);
  const DWORD length = GetEnvironmentVariableA(name, buffer.data(), needed);
  return std::string(buffer.data(), length < needed ? length : 0);
}

std::string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  std::vector<char> buffer(needed + 1);
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  return std::string(buffer.data(), length);
}

void AppendLine(const std::string& path, const std::string& line) {
  if (path.empty()) return;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << line << "\r\n";
}

// The quoted text after `option`, e.g. -input "X".
bool QuotedAfter(const std::string& line, const std::string& option, std::string& value) {
  const size_t at = line.find(" " + option + " \"");
  if (at == std::string::npos) return false;
  const size_t from = at + option.size() + 3;
  const size_t to = line.find('"', from);
  if (to == std::string::npos) return false;
  value = line.substr(from, to - from);
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xff);
  out += static_cast<char>((value >> 8) & 0xff);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
}

// A fifth of a second of a 440 Hz tone, 44.1 kHz, 16-bit PCM.
bool WriteTone(const std::string& path, unsigned channels) {
  const unsigned rate = 44100;
  const unsigned frames = rate / 5;
  std::string samples;
  for (unsigned i = 0; i < frames; ++i) {
    const double value = 8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / rate);
    const auto sample = static_cast<std::int16_t>(value);
    for (unsigned c = 0; c < channels; ++c) Put16(samples, static_cast<std::uint16_t>(sample));
  }
  std::string wav = "RIFF";
  Put32(wav, static_cast<std::uint32_t>(36 + samples.size()));
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);
  Put16(wav, channels);
  Put32(wav, rate);
  Put32(wav, rate * channels * 2);
  Put16(wav, channels * 2);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, static_cast<std::uint32_t>(samples.size()));
  wav += samples;

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << wav;
  return static_cast<bool>(out);
}

int MakeSample(int argc, char** argv) {
  if (argc < 3) return 2;
  const long kilobytes = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 8;
  std::string data;
  for (long i = 0; i < kilobytes * 1024; ++i) data += static_cast<char>((i * 7) & 0xff);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << data;
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--make-sample") return MakeSample(argc, argv);

  const std::string commandLine = GetCommandLineA();
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  AppendLine(Environment("KAVRIN_STANDIN_RECORD"), CurrentFolder() + "|" + std::to_string(startup.dwFlags) + "|" +
                                                       std::to_string(startup.wShowWindow) + "|" + commandLine);

  const std::string runMs = Environment("KAVRIN_STANDIN_RUN_MS");
  if (!runMs.empty()) Sleep(static_cast<DWORD>(std::strtoul(runMs.c_str(), nullptr, 10)));

  std::string input;
  std::string output;
  std::string log;
  const bool hasInput = QuotedAfter(commandLine, "-input", input);
  const bool hasOutput = QuotedAfter(commandLine, "-output", output);
  const bool hasLog = QuotedAfter(commandLine, "-logfilea", log);
  const bool sixChannels = commandLine.find("\" -6ch ") != std::string::npos;

  std::vector<std::string> report = {"BeSweet stand-in", "input: " + input};
  int exitCode = 0;
  if (hasInput && hasOutput && FileExists(input)) {
    if (sixChannels) {
      for (const char* channel : {"FL.WAV", "FR.WAV", "SL.WAV", "SR.WAV", "C.WAV", "LFE.WAV"}) {
        WriteTone(output + channel, 1);
        report.push_back("wrote: " + output + channel);
      }
    } else {
      // A real track of a few seconds, as a receiver and a burner take it;
      // plain PCM for an input named by KAVRIN_STANDIN_WRONG_STREAM.
      const std::string wrong = Environment("KAVRIN_STANDIN_WRONG_STREAM");
      const bool ac3 = commandLine.find("\" -ddwav ") != std::string::npos &&
                       (wrong.empty() || input.size() < wrong.size() ||
                        input.compare(input.size() - wrong.size(), wrong.size(), wrong) != 0);
      std::ofstream(output, std::ios::binary | std::ios::trunc)
          << kavrin::samples::SampleTrack(ac3 ? kavrin::samples::Stream::Ac3 : kavrin::samples::Stream::Pcm, 4.2);
      report.push_back("wrote: " + output);
    }
  } else {
    report.push_back("error: input not found");
    exitCode = 1;
  }
  if (hasLog) {
    for (const std::string& line : report) AppendLine(log, line);
  }

  const std::string code = Environment("KAVRIN_STANDIN_EXIT_CODE");
  if (!code.empty()) exitCode = static_cast<int>(std::strtoul(code.c_str(), nullptr, 10));
  return exitCode;
}
