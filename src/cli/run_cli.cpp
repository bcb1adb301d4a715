#include "cli/run_cli.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "cli/args.h"
#include "engine/pattern.h"
#include "platform/listing.h"
#include "preview/compose.h"
#include "preview/session.h"
#include "rename/run.h"

namespace zelvar::cli {

namespace {

const Text kReportStart = U"Přejmenování ukončeno";

void writeBytes(std::FILE* f, std::string_view bytes) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
}

void complain(std::FILE* err, const std::string& message) {
    writeBytes(err, "zelvar-cli: " + message + "\n");
}

// Reads a whole file, or standard input for "-"; nullopt with `error` set when it cannot.
std::optional<std::string> readAll(const std::string& path, std::FILE* in, std::string& error) {
    std::FILE* f = path == "-" ? in : std::fopen(path.c_str(), "rb");
    if (!f) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string data;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
    const bool failed = std::ferror(f);
    const int readErrno = errno;
    if (f != in) std::fclose(f);
    if (failed) {
        error = std::strerror(readErrno);
        return std::nullopt;
    }
    return data;
}

// The edit box holds CR LF ended lines; a file written on Linux has bare LFs, which mean the same.
Text editBoxFromFile(const std::string& bytes) {
    const Text text = fromUtf8(bytes);
    Text box;
    box.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\n' && (i == 0 || text[i - 1] != U'\r')) box += U'\r';
        box += text[i];
    }
    return box;
}

std::string previewLines(const PreviewList& rows) {
    std::string out;
    for (const auto& row : rows) {
        out += toUtf8(row.oldName);
        out += " -> ";
        out += toUtf8(shownName(row));
        out += '\n';
    }
    return out;
}

// Answers every question with Yes, as a user who confirms everything; error messages go to
// standard error. The final report is printed by the caller from the run's result.
class ScriptDialogs : public Dialogs {
public:
    explicit ScriptDialogs(std::FILE* err) : err_(err) {}

    Answer messageBox(const Text& text, BoxStyle style) override {
        if (style.buttons != Buttons::ok) return Answer::yes;
        if (text.rfind(kReportStart, 0) != 0) writeBytes(err_, unixLines(toUtf8(text)));
        return Answer::ok;
    }
    void beep() override {}

private:
    std::FILE* err_;
};

class SilentFrontEnd : public RenameFrontEnd {
public:
    void progress(const Text&) override {}
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

int previewFolder(const Request& r, std::FILE* out, std::FILE* err, std::FILE* in) {
    // The edit file is read first: a file that cannot be read is a usage error and nothing may
    // have been listed or renamed by then.
    Text editBox;
    if (r.edit) {
        std::string error;
        const auto bytes = readAll(r.editFile, in, error);
        if (!bytes) {
            complain(err, "cannot read '" + r.editFile + "': " + error);
            return 2;
        }
        editBox = editBoxFromFile(*bytes);
    }

    PreviewSession session;
    session.setFolder(r.folder);
    // An empty name pattern leaves the preview empty without listing anything, as in the window.
    if (!r.options.txtJmeno.empty()) {
        const PreviewResult& preview = session.build(r.options);
        if (preview.listingFailed) {
            std::string why = preview.listingError.empty() ? "" : ": " + preview.listingError;
            complain(err, "cannot list '" + r.folder + "'" + why);
        }
        if (preview.truncated) {
            complain(err, "'" + r.folder + "' holds more than " + std::to_string(kMaxEntries) +
                              " matching entries; only the first " + std::to_string(kMaxEntries) +
                              " are listed");
        }
        if (r.edit && !preview.rows.empty()) session.edit(editBox);
    }
    const PreviewResult& preview = session.result();
    const bool listingFailed = preview.listingFailed;

    writeBytes(out, previewLines(preview.rows));
    if (r.stats) writeBytes(out, unixLines(toUtf8(statsText(static_cast<int>(preview.rows.size()), preview.unchanged))));
    if (!r.apply) return 0;
    // A folder that could not be listed to its end is not renamed: its preview is not the whole
    // truth about the names it holds.
    if (listingFailed) return 1;

    // The plan goes out before the first error message, also when both streams share one file.
    std::fflush(out);
    ScriptDialogs dialogs(err);
    SilentFrontEnd frontEnd;
    const RunResult run = cmdPrejmenovat_Run(r.folder, session.takeRows(), r.options.txtExt, dialogs, frontEnd);
    if (run.end != RunEnd::Finished) {
        complain(err, "the rename run did not start");
        return 1;
    }
    writeBytes(out, unixLines(toUtf8(run.report)));
    return run.failures > 0 ? 1 : 0;
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
    case Action::Help:
        writeBytes(out, usageText());
        return 0;
    case Action::Version:
        writeBytes(out, std::string(kVersionText) + "\n");
        return 0;
    case Action::Samples:
        return printSamples(r, out);
    case Action::Preview:
        break;
    }
    return previewFolder(r, out, err, in);
}

}  // namespace zelvar::cli
