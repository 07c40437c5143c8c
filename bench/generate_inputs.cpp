// Writes the benchmark inputs. Every output is a pure function of the arguments: the engine
// is std::mt19937_64 with a fixed seed (its output sequence is fixed by the C++ standard) and
// the distributions are our own, because the standard library's differ between vendors.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 0x5EED'7A4D'E41Cull;

class Rng {
public:
    Rng() : engine_(kSeed) {}

    // Uniform in [0, bound): the lowest 2^64 mod bound raw values are rejected so that
    // the remaining range splits evenly into `bound` classes.
    std::uint64_t Below(std::uint64_t bound) {
        const std::uint64_t rejected = (0 - bound) % bound;
        for (;;) {
            const std::uint64_t value = engine_();
            if (value >= rejected) {
                return value % bound;
            }
        }
    }
    std::size_t Index(std::size_t size) { return static_cast<std::size_t>(Below(size)); }
    bool Percent(std::uint64_t percent) { return Below(100) < percent; }

private:
    std::mt19937_64 engine_;
};

constexpr std::array<std::string_view, 64> kWords = {
    "the",    "value",  "return",  "count",  "index",   "line",   "next",   "buffer",
    "if",     "else",   "while",   "for",    "result",  "size",   "list",   "item",
    "check",  "update", "options", "file",   "name",    "text",   "error",  "state",
    "begin",  "end",    "first",   "last",   "compute", "total",  "offset", "length",
    "table",  "entry",  "node",    "parent", "child",   "left",   "right",  "mark",
    "and",    "or",     "not",     "with",   "from",    "into",   "over",   "after",
    "before", "when",   "record",  "format", "print",   "parse",  "token",  "stream",
    "window", "cursor", "select",  "insert", "delete",  "change", "keep",   "skip",
};

// Lines that recur many times in real sources; the empty one is dropped by the loader when
// empty lines are hidden, which the benchmark wants to exercise too.
constexpr std::array<std::string_view, 5> kCommonLines = {"}", "", "{", "    }", "        }"};

class Output {
public:
    explicit Output(const char* path) : path_(path), file_(std::fopen(path, "wb")) {
        if (file_ == nullptr) {
            std::fprintf(stderr, "cannot create %s: %s\n", path, std::strerror(errno));
            std::exit(1);
        }
        // Large writes keep the generator out of the way of the timings that follow.
        std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    }
    ~Output() {
        if (std::fclose(file_) != 0) {
            std::fprintf(stderr, "cannot write %s: %s\n", path_, std::strerror(errno));
            std::exit(1);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Line(std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), file_);
        std::fputc('\n', file_);
    }

private:
    const char* path_;
    std::FILE* file_;
};

std::string Base36(std::uint64_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36]);
        value /= 36;
    } while (value != 0);
    return digits;
}

void AppendLetters(Rng& rng, std::size_t count, std::string& text) {
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(static_cast<char>('a' + rng.Below(26)));
    }
}

// A ~60-byte line that begins with its own number, so no two lines of one call are equal.
std::string NumberedLine(Rng& rng, char prefix, std::uint64_t number) {
    char head[32];
    std::snprintf(head, sizeof head, "%c%09llu ", prefix, static_cast<unsigned long long>(number));
    std::string text(head);
    AppendLetters(rng, 50, text);
    return text;
}

int Disjoint(std::uint64_t count, const char* path1, const char* path2) {
    Rng rng;
    Output out1(path1);
    Output out2(path2);
    // The prefixes keep every line of one file out of the other.
    for (std::uint64_t i = 0; i < count; ++i) {
        out1.Line(NumberedLine(rng, 'L', i));
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        out2.Line(NumberedLine(rng, 'R', i));
    }
    return 0;
}

int Vocabulary(std::uint64_t count, std::uint64_t size, const char* path1, const char* path2) {
    Rng rng;
    std::vector<std::string> vocabulary;
    for (std::uint64_t v = 0; v < size; ++v) {
        vocabulary.push_back(NumberedLine(rng, 'V', v));
    }
    for (const char* path : {path1, path2}) {
        Output out(path);
        for (std::uint64_t i = 0; i < count; ++i) {
            out.Line(vocabulary[rng.Index(vocabulary.size())]);
        }
    }
    return 0;
}

// Pseudo source text: an indent, words, and one word carrying a serial number so that
// nearly every line is unique, as in real files.
class TextLines {
public:
    explicit TextLines(Rng& rng) : rng_(rng) {}

    std::string Next() {
        if (rng_.Percent(2)) {
            return std::string(kCommonLines[rng_.Index(kCommonLines.size())]);
        }
        std::string text(4 * rng_.Index(4), ' ');
        const std::size_t target = text.size() + 38 + rng_.Index(28);
        const std::size_t tokenAt = rng_.Index(3);
        for (std::size_t word = 0; text.size() < target; ++word) {
            if (word != 0) {
                text.push_back(' ');
            }
            text.append(kWords[rng_.Index(kWords.size())]);
            if (word == tokenAt) {
                text.push_back('_');
                text.append(Base36(serial_++));
            }
        }
        return text;
    }

    // The line with one plain word swapped for another, or a fresh line when it has none.
    std::string Changed(const std::string& line) {
        std::vector<std::pair<std::size_t, std::size_t>> words;
        std::size_t start = line.find_first_not_of(' ');
        while (start != std::string::npos) {
            const std::size_t end = std::min(line.find(' ', start), line.size());
            if (line.find('_', start) >= end) {
                words.emplace_back(start, end - start);
            }
            start = line.find_first_not_of(' ', end);
        }
        if (words.empty()) {
            return Next();
        }
        const auto [at, length] = words[rng_.Index(words.size())];
        const std::string_view old(line.data() + at, length);
        std::string_view replacement = old;
        while (replacement == old) {
            replacement = kWords[rng_.Index(kWords.size())];
        }
        std::string text = line;
        text.replace(at, length, replacement);
        return text;
    }

private:
    Rng& rng_;
    std::uint64_t serial_ = 0;
};

enum class Edit : std::uint8_t { None, Change, Insert, Delete };

int Edited(std::uint64_t count, const char* path1, const char* path2) {
    Rng rng;
    // One percent of the lines, at distinct random places, split evenly over the three
    // kinds of edit.
    std::vector<Edit> edits(count, Edit::None);
    const std::uint64_t editCount = count / 100;
    for (std::uint64_t e = 0; e < editCount;) {
        Edit& place = edits[rng.Index(edits.size())];
        if (place == Edit::None) {
            place = static_cast<Edit>(1 + e % 3);
            ++e;
        }
    }
    TextLines lines(rng);
    Output out1(path1);
    Output out2(path2);
    for (const Edit edit : edits) {
        const std::string line = lines.Next();
        out1.Line(line);
        switch (edit) {
            case Edit::None:
                out2.Line(line);
                break;
            case Edit::Change:
                out2.Line(lines.Changed(line));
                break;
            case Edit::Insert:
                out2.Line(lines.Next());
                out2.Line(line);
                break;
            case Edit::Delete:
                break;
        }
    }
    return 0;
}

std::string VaryCase(Rng& rng, std::string_view name) {
    std::string text(name);
    const auto upper = [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    };
    switch (rng.Below(4)) {
        case 0:
            break;
        case 1:
            for (char& c : text) {
                c = upper(c);
            }
            break;
        case 2:
            text[0] = upper(text[0]);
            break;
        default:
            for (char& c : text) {
                if (rng.Percent(50)) {
                    c = upper(c);
                }
            }
            break;
    }
    return text;
}

int Folder(std::uint64_t count, const std::string& folder) {
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), std::strerror(errno));
        return 1;
    }
    Rng rng;
    constexpr std::array<std::string_view, 4> kExtensions = {".txt", ".cpp", ".h", ".md"};
    for (std::uint64_t i = 0; i < count; ++i) {
        // The number keeps names distinct even on a file system that ignores case.
        char number[32];
        std::snprintf(number, sizeof number, "_%06llu", static_cast<unsigned long long>(i));
        const std::string name = VaryCase(rng, kWords[rng.Index(kWords.size())]) + number +
                                 VaryCase(rng, kExtensions[rng.Index(kExtensions.size())]);
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) {
            std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
        const std::string body = name + "\n";
        const bool written =
            ::write(fd, body.data(), body.size()) == static_cast<ssize_t>(body.size());
        if (::close(fd) != 0 || !written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        // Fixed times within one year from 2020-09-13, so listings are reproducible.
        timespec times[2];
        times[0].tv_sec = static_cast<time_t>(1'600'000'000 + rng.Below(31'536'000));
        times[0].tv_nsec = 0;
        times[1] = times[0];
        if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
            std::fprintf(stderr, "cannot set time of %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    return 0;
}

bool ParseCount(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-') {
        return false;
    }
    value = parsed;
    return true;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s disjoint N OUT1 OUT2\n"
                 "       %s vocab N K OUT1 OUT2\n"
                 "       %s edited N OUT1 OUT2\n"
                 "       %s folder N DIR\n",
                 program, program, program, program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage(argv[0]);
    }
    const std::string_view command = argv[1];
    std::uint64_t count = 0;
    if (argc < 3 || !ParseCount(argv[2], count)) {
        return Usage(argv[0]);
    }
    if (command == "disjoint" && argc == 5) {
        return Disjoint(count, argv[3], argv[4]);
    }
    if (command == "vocab" && argc == 6) {
        std::uint64_t size = 0;
        if (!ParseCount(argv[3], size) || size == 0) {
            return Usage(argv[0]);
        }
        return Vocabulary(count, size, argv[4], argv[5]);
    }
    if (command == "edited" && argc == 5) {
        return Edited(count, argv[3], argv[4]);
    }
    if (command == "folder" && argc == 4) {
        return Folder(count, argv[3]);
    }
    return Usage(argv[0]);
}
