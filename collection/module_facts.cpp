// Module files through libopenmpt: the header check and the whole load that measures them.
#include "collection/module_facts.h"

#include "audio/openmpt_module.h"
#include "collection/fold.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <libopenmpt/libopenmpt.h>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

namespace collection {

namespace {

// The longest time a row can show (999'59); longer estimates are shown as that.
constexpr double LONGEST_SECONDS = 999 * 60 + 59;

struct Words {
    int words = 0, letters = 0;
    int joining = 0; // the little words that join sentences ("by", "from", "the" ...)
};

// The words that a text written to be read has and a list of sound names has not.
bool joiningWord(const std::string& w) {
    static const std::set<std::string> words = {
        "the",    "to",    "by",  "and",  "from",    "of",       "in",     "for",   "with",
        "my",     "all",   "you", "your", "is",      "are",      "was",    "this",  "that",
        "it",     "me",    "on",  "at",   "we",      "our",      "thanks", "thank", "greetings",
        "greets", "hello", "hi",  "made", "written", "composed", "music",  "song",  "copyright"};
    return words.count(w) != 0;
}

// Words of two letters or more, each counted once, and all their letters.
Words countWords(std::string_view text) {
    Words w;
    std::set<std::string> seen;
    std::string word;
    for (char c : foldToMenu(text) + ' ') {
        if (c >= 'a' && c <= 'z') {
            word += c;
            continue;
        }
        if (word.size() >= 2 && seen.insert(word).second) {
            ++w.words;
            w.letters += static_cast<int>(word.size());
            w.joining += joiningWord(word);
        }
        word.clear();
    }
    return w;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A sample or instrument name as its author meant it: without a sample disk's "st-01:" prefix,
// and nothing at all when it is only a file name ("kick.wav") or a tracker's default.
std::string telling(std::string name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    const std::string l = lower(name);
    if (l.size() > 6 && l.compare(0, 3, "st-") == 0 &&
        std::isdigit(static_cast<unsigned char>(l[3])) &&
        std::isdigit(static_cast<unsigned char>(l[4])) && l[5] == ':')
        name.erase(0, 6);
    static const char* const fileTypes[] = {".wav", ".smp", ".iff", ".8svx", ".aif", ".aiff",
                                            ".raw", ".sam", ".snd", ".pat",  ".voc", ".xi",
                                            ".its", ".s3i", ".mp3", ".ogg",  ".flac"};
    const std::string n = lower(name);
    for (const char* t : fileTypes) {
        const std::string_view ext(t);
        if (n.size() > ext.size() && n.compare(n.size() - ext.size(), ext.size(), ext) == 0 &&
            n.find(' ') == std::string::npos)
            return "";
    }
    if (n == "untitled" || n == "new instrument" || n == "new sample") return "";
    return countWords(name).words ? name : "";
}

// The names of one list (samples or instruments), one line each, as far as they tell anything.
std::string namesText(openmpt_module* m, int count, const char* (*get)(openmpt_module*, int32_t)) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const char* raw = get(m, i);
        std::string name = telling(raw ? raw : "");
        openmpt_free_string(raw);
        if (name.empty()) continue;
        if (!out.empty()) out += '\n';
        out += name;
    }
    return out;
}

// The song message when it says anything; otherwise the sample or instrument names, when their
// author wrote words into them: sentences have the little joining words ("music from reg",
// "greetings to"), a list of sound names ("bass drum", "soft bell") has none.
std::string authorText(openmpt_module* m) {
    std::string message = audio::moduleMetadata(m, "message_raw");
    if (countWords(message).letters >= 3) return message;
    std::string samples =
        namesText(m, openmpt_module_get_num_samples(m), openmpt_module_get_sample_name);
    std::string instruments =
        namesText(m, openmpt_module_get_num_instruments(m), openmpt_module_get_instrument_name);
    std::string& names =
        countWords(instruments).joining > countWords(samples).joining ? instruments : samples;
    const Words w = countWords(names);
    return w.joining >= 2 && w.words >= 4 ? names : "";
}

} // namespace

std::size_t moduleProbeBytes() {
    return openmpt_probe_file_header_get_recommended_size();
}

bool looksLikeModule(const void* head, std::size_t size, std::uint64_t fileSize) {
    if (!head || size == 0) return false;
    int error = 0;
    const int r = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, head, size,
                                            fileSize, openmpt_log_func_silent, nullptr,
                                            openmpt_error_func_ignore, nullptr, &error, nullptr);
    return r == OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS;
}

ModuleFacts brokenFacts(std::string reason) {
    ModuleFacts f;
    f.state = ModuleState::Broken;
    f.reason = std::move(reason);
    return f;
}

ModuleFacts measureModule(const void* data, std::size_t size) {
    if (!data || size == 0) return brokenFacts("the file is empty");
    std::string why;
    openmpt_module* m = audio::openModule(data, size, why);
    if (!m) return brokenFacts(why);
    ModuleFacts f;
    f.state = ModuleState::Measured;
    const double seconds = openmpt_module_get_duration_seconds(m);
    if (std::isfinite(seconds)) {
        if (seconds <= 0) {
            openmpt_module_destroy(m);
            return brokenFacts("it has nothing to play");
        }
        const double s = std::clamp(std::round(seconds), 1.0, LONGEST_SECONDS);
        f.durationMs = static_cast<std::uint32_t>(s) * 1000;
    }
    f.title = audio::moduleMetadata(m, "title");
    f.artist = audio::moduleMetadata(m, "artist");
    f.type = audio::moduleMetadata(m, "type");
    f.text = authorText(m);
    openmpt_module_destroy(m);
    return f;
}

bool hasModuleExtension(const std::string& fileName) {
    static const std::set<std::string> extensions = [] {
        std::set<std::string> s;
        const char* list = openmpt_get_supported_extensions();
        std::stringstream in(list ? list : "");
        for (std::string e; std::getline(in, e, ';');)
            if (!e.empty()) s.insert(lower(e));
        openmpt_free_string(list);
        return s;
    }();
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot + 1 == fileName.size()) return false;
    return extensions.count(lower(fileName.substr(dot + 1))) != 0;
}

} // namespace collection
