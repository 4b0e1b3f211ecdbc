#pragma once
/// @file
/// @brief Splitting scenario lines into words, and reading them one at a time.

#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relaydeck::replay {

/// @brief A scenario line that cannot be run; the tool stops with exit status 2.
///
/// Deliberately not a std::exception: it passes through the program's own failure
/// handling, which reports every std::exception as a link-host failure.
class ScenarioError {
  public:
    ScenarioError(int line, std::string reason) : line_(line), reason_(std::move(reason)) {}
    /// @brief The 1-based number of the offending line (0 until it is known).
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

  private:
    int line_;
    std::string reason_;
};

/// @brief One word of a line: a bare word or the content of a quoted text.
struct Word {
    std::string text;
    bool quoted = false;

    bool operator==(const Word&) const = default;
};

/// @brief Splits a line into words. Blanks (space, tab) separate words; a word that
/// starts with a double quote runs to the closing quote, with \" and \\ as escapes.
/// Throws ScenarioError (line 0) for a malformed line.
std::vector<Word> splitWords(std::string_view line);

/// @brief A line that holds a command.
struct ScenarioLine {
    int number = 0;
    std::vector<Word> words;  ///< never empty
};

/// @brief Reads a scenario lazily, skipping blank lines and comments.
class ScenarioReader {
  public:
    explicit ScenarioReader(std::istream& in) : in_(in) {}

    /// @brief The next command line, or nullopt at the end of the scenario.
    /// Throws ScenarioError carrying the line number for a malformed line.
    std::optional<ScenarioLine> next();

    /// @brief What an echo is told for each line read: a comment or a command line.
    enum class LineKind { Comment, Command };
    using Echo = std::function<void(LineKind kind, std::string_view text)>;
    /// @brief Passes every comment and command line to @p echo as it is read (with its
    /// indentation and trailing blanks removed); blank lines are not passed.
    void setEcho(Echo echo) { echo_ = std::move(echo); }

  private:
    std::istream& in_;
    int number_ = 0;
    Echo echo_;
};

}  // namespace relaydeck::replay
