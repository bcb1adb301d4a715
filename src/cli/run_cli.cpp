#include "cli/run_cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "cli/args.h"
#include "engine/pattern.h"
#include "platform/listing.h"
#include "platform/presets.h"
#include "platform/saferename.h"
#include "preview/compose.h"
#include "preview/rename_list.h"
#include "preview/session.h"
#include "rename/run.h"
#include "rename/undo.h"
#include "version.h"

namespace zelvar::cli {

namespace {

const Text kReportStart = U"Přejmenování ukončeno";
const Text kUndoReportStart = U"Vrácení ukončeno";

void writeBytes(std::FILE* f, std::string_view bytes) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
}

void complain(std::FILE* err, const std::string& message) { writeBytes(err, "zelvar-cli: " + message + "\n"); }

// An edit file holds at most one name per entry of a full listing; anything larger is no such file
// (and /dev/zero must not fill the memory).
constexpr std::size_t kMaxEditBytes = 64u << 20;

// Reads a whole file of at most `limit` bytes, or standard input for "-".
Result<std::string> readAll(const std::string& path, std::FILE* in, std::size_t limit) {
    std::FILE* f = path == "-" ? in : std::fopen(path.c_str(), "rb");
    if (!f) return Failure{errno};
    std::string data;
    char buffer[65536];
    std::size_t got;
    while (data.size() <= limit && (got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
    const bool failed = std::ferror(f);
    const int readErrno = errno;
    if (f != in) std::fclose(f);
    if (failed) return Failure{readErrno};
    if (data.size() > limit) return Failure{0, "larger than " + std::to_string(limit >> 20) + " MB"};
    return data;
}

// The edit box holds CR LF ended lines. A file may end its lines with LF, CR LF or a lone CR, all
// meaning the same; a byte-order mark in front is no part of the first name. Nothing when the file
// has more lines than a listing has entries.
std::optional<Text> editBoxFromFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const Text text = fromUtf8(bytes);
    Text box;
    box.reserve(text.size() + text.size() / 8);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            box += U"\r\n";
            ++lines;
        } else {
            box += c;
        }
    }
    if (!box.empty() && box.back() != U'\n') ++lines;
    if (lines > kMaxEntries) return std::nullopt;
    return box;
}

// A JSON string of a name. Bytes that are not UTF-8 (decoded as U+DC80..U+DCFF) are written as
// "\udcXX", which no valid UTF-8 name yields, so the name's bytes can be recovered exactly.
void appendJson(std::string& out, const Text& text) {
    out += '"';
    Text plain;
    const auto flush = [&] {
        out += toUtf8(plain);
        plain.clear();
    };
    for (const char32_t c : text) {
        const bool escaped = c >= 0xDC80 && c <= 0xDCFF;
        if (c >= 0x20 && c != U'"' && c != U'\\' && !escaped) {
            plain += c;
            continue;
        }
        flush();
        switch (c) {
            case U'"': out += "\\\""; break;
            case U'\\': out += "\\\\"; break;
            case U'\n': out += "\\n"; break;
            case U'\r': out += "\\r"; break;
            case U'\t': out += "\\t"; break;
            default: {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
                out += code;
            }
        }
    }
    flush();
    out += '"';
}

const char* verdictName(Verdict v) {
    switch (v) {
        case Verdict::usable: return "rename";
        case Verdict::emptyName: return "empty";
        case Verdict::unchanged: return "unchanged";
        case Verdict::clashAbove: return "above";
        case Verdict::clashBelow: return "below";
        case Verdict::exists: return "exists";
        case Verdict::tooLong: return "too-long";
    }
    return "";
}

bool namesANewName(Verdict v) {
    return v == Verdict::usable || v == Verdict::clashAbove || v == Verdict::clashBelow || v == Verdict::exists;
}

std::string jsonRows(const PreviewList& rows) {
    std::string out;
    for (const auto& row : rows) {
        out += "{\"old\": ";
        appendJson(out, row.oldName);
        out += ", \"new\": ";
        if (namesANewName(row.verdict))
            appendJson(out, row.newName);
        else
            out += "null";
        out += ", \"verdict\": \"";
        out += verdictName(row.verdict);
        out += "\"}\n";
    }
    return out;
}

std::string jsonStats(int n, int unchanged) {
    return "{\"processed\": " + std::to_string(n) + ", \"renamed\": " + std::to_string(n - unchanged) +
           ", \"unchanged\": " + std::to_string(unchanged) + "}\n";
}

std::string jsonReport(const RunResult& run) {
    std::string out = "{\"renamed\": " + std::to_string(run.attempts - run.failures) + ", \"failures\": [";
    for (std::size_t i = 0; i < run.failed.size(); ++i) {
        const RunFailure& f = run.failed[i];
        out += i ? ", {\"old\": " : "{\"old\": ";
        appendJson(out, f.oldName);
        out += ", \"new\": ";
        appendJson(out, f.newName);
        out += ", \"message\": ";
        appendJson(out, f.message);
        out += "}";
    }
    return out + "]}\n";
}

// Writes the preview lines in slices, so that no copy of the whole listing is held as text.
void writePreview(std::FILE* out, const PreviewList& rows) {
    constexpr std::size_t kSlice = 1 << 16;
    std::string slice;
    slice.reserve(kSlice + 1024);
    for (const auto& row : rows) {
        appendUtf8(slice, row.oldName);
        slice += " -> ";
        appendUtf8(slice, row.marker() ? shownName(row) : row.newName);
        slice += '\n';
        if (slice.size() >= kSlice) {
            writeBytes(out, slice);
            slice.clear();
        }
    }
    writeBytes(out, slice);
}

// Answers every question with Yes, as a user who confirms everything; error messages go to
// standard error. The final report is printed by the caller from the run's result.
class ScriptDialogs : public Dialogs {
public:
    explicit ScriptDialogs(std::FILE* err) : err_(err) {}

    Answer messageBox(const Text& text, BoxStyle style) override {
        if (style.buttons != Buttons::ok) return Answer::yes;
        if (text.rfind(kReportStart, 0) != 0 && text.rfind(kUndoReportStart, 0) != 0)
            writeBytes(err_, unixLines(toUtf8(text)));
        return Answer::ok;
    }
    void beep() override {}

private:
    std::FILE* err_;
};

class SilentFrontEnd : public RenameFrontEnd {
public:
    void progress(const Text&, std::u32string_view) override {}
    void processEvents() override {}
    bool confirmEach() override { return false; }
};

int printSamples(const Request& r, std::FILE* out) {
    const Ukazky samples = ZpracujVzor(r.options);
    std::string text;
    for (const auto& name : r.samples) {
        text += toUtf8(NoveJmeno(fromUtf8(name), r.counter, false, r.options, samples.patterns));
        text += '\n';
    }
    writeBytes(out, text);
    return 0;
}

struct OpenFolder {
    int fd = -1;
    explicit OpenFolder(const std::string& path) {
        if (path.find('\0') == std::string::npos) fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~OpenFolder() {
        if (fd >= 0) ::close(fd);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
};

// What --edit and --rename-list give, read before anything is listed.
struct EditInputs {
    Text editBox;
    std::optional<std::string> renameList;
};

// A file that cannot be read is a usage error (nullopt, said on `err`).
std::optional<EditInputs> readEditInputs(const Request& r, std::FILE* err, std::FILE* in) {
    EditInputs inputs;
    if (r.edit) {
        const Result<std::string> bytes = readAll(r.editFile, in, kMaxEditBytes);
        if (!bytes) {
            complain(err, "cannot read '" + r.editFile + "': " + failureText(bytes.failure()));
            return std::nullopt;
        }
        auto box = editBoxFromFile(*bytes);
        if (!box) {
            complain(err, "'" + r.editFile + "' holds more than " + std::to_string(kMaxEntries) +
                              " lines, more than a folder listing has entries");
            return std::nullopt;
        }
        inputs.editBox = std::move(*box);
    }
    if (!r.renameListFile.empty()) {
        Result<std::string> list = readAll(r.renameListFile, in, kMaxEditBytes);
        if (!list) {
            complain(err, "cannot read '" + r.renameListFile + "': " + failureText(list.failure()));
            return std::nullopt;
        }
        inputs.renameList = std::move(*list);
    }
    return inputs;
}

// The session's preview with the listing's notes on `err`, then the edit box or the rename list
// laid over it. Whether a line of the rename list named no entry, or one again.
bool previewWithEdits(PreviewSession& session, const Request& r, const EditInputs& inputs, std::FILE* err) {
    // An empty name pattern leaves the preview empty without listing anything, as in the window.
    if (r.options.txtJmeno.empty()) return false;
    const PreviewResult& preview = session.build(r.options);
    if (preview.listingFailure) {
        const std::string error = failureText(*preview.listingFailure);
        const std::string why = error.empty() ? "" : ": " + error;
        complain(err, "cannot list '" + r.folder + "'" + why);
    }
    if (preview.truncated) {
        complain(err, "'" + r.folder + "' holds more than " + std::to_string(kMaxEntries) +
                          " matching entries; only the first " + std::to_string(kMaxEntries) + " are listed");
    }
    if (const Text note = regexNote(session.patterns().regex()); !note.empty()) complain(err, toUtf8(note));
    if (preview.missingTaken > 0) complain(err, toUtf8(missingTakenNote(preview.missingTaken)));
    if (r.edit && !preview.rows.empty()) session.edit(inputs.editBox);
    if (!inputs.renameList) return false;
    const RenameList list = renameListBox(*inputs.renameList, preview.rows);
    for (const Text& problem : list.problems) complain(err, toUtf8(problem));
    if (!preview.rows.empty()) session.edit(list.box);
    return !list.problems.empty();
}

void writePreviewOutput(const Request& r, const PreviewResult& preview, std::FILE* out) {
    const int n = static_cast<int>(preview.rows.size());
    if (r.json) {
        writeBytes(out, jsonRows(preview.rows));
        if (r.stats) writeBytes(out, jsonStats(n, preview.unchanged));
    } else {
        writePreview(out, preview.rows);
        if (r.stats) writeBytes(out, unixLines(toUtf8(statsText(n, preview.unchanged))));
    }
}

// --apply: the session's rows renamed in the folder listed, and the report.
int applyPreview(const Request& r, const OpenFolder& folder, PreviewSession& session, std::FILE* out, std::FILE* err) {
    // The plan goes out before the first error message, also when both streams share one file.
    std::fflush(out);
    ScriptDialogs dialogs(err);
    SilentFrontEnd frontEnd;
    const RunResult run =
        folder.fd >= 0 ? cmdPrejmenovat_Run(folder.fd, r.folder, session.takeRows(), r.options.txtExt, dialogs,
                                            frontEnd, realSysCalls(), [&session] { return session.listingForRun(); })
                       : cmdPrejmenovat_Run(r.folder, session.takeRows(), r.options.txtExt, dialogs, frontEnd);
    if (run.end != RunEnd::Finished) {
        if (run.end != RunEnd::NotStarted) complain(err, "the rename run did not start");
        return 1;
    }
    writeBytes(out, r.json ? jsonReport(run) : unixLines(toUtf8(run.report)));
    return run.failures > 0 ? 1 : 0;
}

int previewFolder(const Request& r, std::FILE* out, std::FILE* err, std::FILE* in) {
    // The edit file is read first: a file that cannot be read is a usage error and nothing may
    // have been listed or renamed by then.
    const std::optional<EditInputs> inputs = readEditInputs(r, err, in);
    if (!inputs) return 2;

    // One descriptor from the listing to the end of the run: the folder renamed is the folder
    // listed, whatever happens to its path meanwhile. One that cannot be opened is left to the
    // listing, which says why.
    const OpenFolder folder(r.folder);
    PreviewSession session;
    session.setFolder(r.folder, folder.fd);
    const bool listFailed = previewWithEdits(session, r, *inputs, err);
    const PreviewResult& preview = session.result();
    writePreviewOutput(r, preview, out);

    // A folder that could not be listed is a failure also for a preview: a script must not take
    // the empty preview for an empty folder.
    if (!r.apply) return preview.listingFailure || listFailed ? 1 : 0;
    // A folder that could not be listed to its end is not renamed: its preview is not the whole
    // truth about the names it holds.
    if (preview.listingFailure) return 1;
    // A list that does not fit the folder is the wrong list, or one for another folder: its other
    // lines are no safer to carry out.
    if (listFailed) {
        complain(err, "nothing renamed: every line of the rename list must name an entry of the folder");
        return 1;
    }
    return applyPreview(r, folder, session, out, err);
}

int undoFolder(const Request& r, std::FILE* out, std::FILE* err) {
    ScriptDialogs dialogs(err);
    SilentFrontEnd frontEnd;
    const UndoResult undo = r.action == Action::Redo ? redoLastRun(r.folder, dialogs, frontEnd)
                            : r.undoId.empty()       ? undoLastRun(r.folder, dialogs, frontEnd)
                                                     : undoRun(r.folder, r.undoId, dialogs, frontEnd, realSysCalls());
    if (undo.end != UndoEnd::Finished) return 1;
    writeBytes(out, unixLines(toUtf8(undo.report)));
    return undo.failures > 0 ? 1 : 0;
}

int printHistory(const Request& r, std::FILE* out, std::FILE* err) {
    if (const Result<FolderIdentity> id = identifyFolder(r.folder); !id) {
        complain(err, "cannot read '" + r.folder + "': " + failureText(id.failure()));
        return 1;
    }
    std::string text;
    std::vector<std::string> skipped;
    const std::vector<HistoryLine> lines = runHistory(r.folder, &skipped);
    for (const std::string& note : skipped) complain(err, "journal skipped: " + note);
    for (const HistoryLine& line : lines) {
        text += line.time + '\t' + (line.renamed < 0 ? "?" : std::to_string(line.renamed)) + '/' +
                std::to_string(line.planned) + '\t';
        text += line.kind == RunKind::undo   ? "vrácení\t"
                : line.kind == RunKind::redo ? "opakování\t"
                                             : "přejmenování\t";
        text += line.takenBack ? "vráceno" : line.finished ? "dokončeno" : "přerušeno";
        text += '\t' + escapeJournalText(line.folder) + '\t' + line.id + '\n';
    }
    writeBytes(out, text);
    return 0;
}

}  // namespace

std::string unixLines(std::string text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, std::FILE* in) {
    const ParseResult parsed = parseArgs(args);
    if (!parsed.ok()) {
        complain(err, parsed.error);
        return 2;
    }
    const Request& r = parsed.request;
    switch (r.action) {
        case Action::Help: writeBytes(out, usageText()); return 0;
        case Action::Version: writeBytes(out, std::string("zelvar-cli ") + kVersion + "\n"); return 0;
        case Action::Samples: return printSamples(r, out);
        case Action::Undo:
        case Action::Redo: return undoFolder(r, out, err);
        case Action::History: return printHistory(r, out, err);
        case Action::SavePreset: {
            const Text error = savePreset(r.savePresetName, Preset{r.options, r.layout}, false);
            if (error.empty()) return 0;
            complain(err, toUtf8(error));
            return 1;
        }
        case Action::ListPresets:
            for (const std::string& name : presetNames()) writeBytes(out, name + "\n");
            return 0;
        case Action::Preview: break;
    }
    return previewFolder(r, out, err, in);
}

}  // namespace zelvar::cli
