#include "backends/transcoder/arguments.hpp"

#include <cstddef>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace kavrin::transcoder {

namespace {

// Thrown inside the parser only; ParseArguments turns it into a result.
class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Token {
  std::string Text;
  bool Quoted = false;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) throw ParseError("unclosed quote after \"" + text.substr(0, i) + "\"");
      if (close + 1 < text.size() && !IsBlank(text[close + 1])) {
        throw ParseError("expected a blank after the quoted text \"" + text.substr(i + 1, close - i - 1) + "\"");
      }
      tokens.push_back({text.substr(i + 1, close - i - 1), true});
      i = close + 1;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    Token token{text.substr(i, end - i), false};
    if (token.Text.find('"') != std::string::npos) throw ParseError("stray quote in \"" + token.Text + "\"");
    tokens.push_back(std::move(token));
    i = end;
  }
  return tokens;
}

bool IsDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Optional sign, digits, optional fraction: no exponents, no "inf" or "nan".
bool IsDecimal(const std::string& text) {
  std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  const std::size_t dot = text.find('.', i);
  if (dot == std::string::npos) return IsDigits(text.substr(i));
  return IsDigits(text.substr(i, dot - i)) && IsDigits(text.substr(dot + 1));
}

std::optional<Compression> CompressionNamed(const std::string& name) {
  if (name == "none") return Compression::None;
  if (name == "light") return Compression::Light;
  if (name == "normal") return Compression::Normal;
  if (name == "heavy") return Compression::Heavy;
  return std::nullopt;
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  Arguments Parse() {
    CoreGroup();
    if (PeekIs("-azid(")) OptionGroup("-azid(");
    if (PeekIs("-ota(")) OptionGroup("-ota(");
    if (!PeekIs("-ssrc(")) throw ParseError("expected the -ssrc( group after the -core( group, found " + Describe());
    OptionGroup("-ssrc(");
    if (PeekIs("-boost(")) OptionGroup("-boost(");
    if (!AtEnd()) throw ParseError("unexpected " + Describe() + " after the last group");
    return std::move(args_);
  }

 private:
  bool AtEnd() const { return next_ >= tokens_.size(); }

  bool PeekIs(const char* word) const { return !AtEnd() && !tokens_[next_].Quoted && tokens_[next_].Text == word; }

  std::string Describe() const {
    if (AtEnd()) return "the end of the text";
    const Token& token = tokens_[next_];
    return token.Quoted ? "the quoted text \"" + token.Text + "\"" : "\"" + token.Text + "\"";
  }

  void Expect(const char* word, const std::string& piece) {
    if (!PeekIs(word)) throw ParseError(piece + ": expected \"" + word + "\", found " + Describe());
    ++next_;
  }

  std::string ExpectQuoted(const std::string& piece) {
    if (AtEnd() || !tokens_[next_].Quoted) throw ParseError(piece + ": expected a quoted path, found " + Describe());
    std::string path = tokens_[next_++].Text;
    if (path.empty()) throw ParseError(piece + ": the path is empty");
    return path;
  }

  // "-core( -input Q Q -output Q Q -6ch" without a mode is absent; the log
  // file, the substream and the closing ")" follow in either case.
  void CoreGroup() {
    if (PeekIs("-core(")) {
      ++next_;
      Expect("-input", "-core(");
      args_.InputPath = ExpectQuoted("-input");
      Expect("-output", "-core(");
      args_.OutputPath = ExpectQuoted("-output");
      if (PeekIs("-6ch")) {
        args_.Channels = ChannelMode::SixMono;
      } else if (PeekIs("-ddwav")) {
        args_.Channels = ChannelMode::DdWav;
      } else if (PeekIs("-2ch")) {
        args_.Channels = ChannelMode::Stereo;
      } else {
        throw ParseError("-core(: expected -6ch, -ddwav or -2ch after the output, found " + Describe());
      }
      ++next_;
    } else if (!PeekIs("-logfilea") && !PeekIs("-substream") && !PeekIs(")")) {
      throw ParseError("expected \"-core(\" or the \")\" that closes it, found " + Describe());
    }
    if (PeekIs("-logfilea")) {
      ++next_;
      args_.LogFile = ExpectQuoted("-logfilea");
    }
    if (PeekIs("-substream")) {
      ++next_;
      const std::string id = AtEnd() || tokens_[next_].Quoted ? std::string() : tokens_[next_].Text;
      if (id.size() != 4 || id.compare(0, 3, "0x8") != 0 || id[3] < '0' || id[3] > '7') {
        throw ParseError("-substream: expected 0x80 to 0x87, found " + Describe());
      }
      args_.Stream = id[3] - '0';  // the inverse of SubstreamId
      ++next_;
    }
    Expect(")", "-core(");
  }

  // The options up to the group's ")"; those the transcoder acts on are
  // taken out, the rest are kept to be logged as ignored.
  void OptionGroup(const std::string& group) {
    ++next_;
    std::vector<std::string> options;
    while (!PeekIs(")")) {
      if (AtEnd()) throw ParseError(group + ": the group is not closed with \")\"");
      const Token& token = tokens_[next_++];
      if (!token.Quoted && token.Text.size() > 1 && token.Text.back() == '(') {
        throw ParseError(group + ": the group is not closed before \"" + token.Text + "\"");
      }
      options.push_back(token.Quoted ? "\"" + token.Text + "\"" : token.Text);
    }
    ++next_;
    for (std::size_t i = 0; i < options.size(); ++i) {
      const std::string& option = options[i];
      const bool hasValue = i + 1 < options.size();
      if (group == "-azid(" && option == "-g" && hasValue && options[i + 1] == "max") {
        args_.Normalize = true;
        ++i;
      } else if (group == "-azid(" && option == "-c" && hasValue && CompressionNamed(options[i + 1])) {
        args_.Compress = *CompressionNamed(options[++i]);
      } else if (group == "-ssrc(" && option == "--dither") {
        args_.Dither = true;
      } else if (group == "-ssrc(" && option == "--rate") {
        const std::string value = hasValue ? options[++i] : std::string();
        // The fixed "--rate 44100" comes last, so the last rate wins.
        if (!IsDigits(value) || value.size() > 6 || std::atoi(value.c_str()) == 0) {
          throw ParseError("-ssrc(: --rate expects a rate in Hz, found \"" + value + "\"");
        }
        args_.Rate = std::atoi(value.c_str());
      } else if (group == "-boost(" && option == "--gain") {
        const std::string value = hasValue ? options[++i] : std::string();
        if (!IsDecimal(value) || value.size() > 8) {
          throw ParseError("-boost(: --gain expects a number of dB, found \"" + value + "\"");
        }
        args_.GainDb = std::strtod(value.c_str(), nullptr);
      } else {
        args_.Ignored.push_back(option);
      }
    }
  }

  std::vector<Token> tokens_;
  std::size_t next_ = 0;
  Arguments args_;
};

}  // namespace

ParseResult ParseArguments(const std::string& text) {
  try {
    return {Parser(Tokenize(text)).Parse(), std::string()};
  } catch (const ParseError& error) {
    return {std::nullopt, error.what()};
  }
}

std::string SubstreamId(int stream) { return std::string("0x8") + static_cast<char>('0' + stream); }

}  // namespace kavrin::transcoder
