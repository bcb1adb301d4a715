#include "rename/run.h"

#include <optional>

#include "platform/saferename.h"
#include "rename/journal.h"
#include "rename/rename_loop.h"

namespace zelvar {

const Text kFolderBusy = U"Ve složce právě probíhá jiné přejmenování.";

namespace {

const Text kCrLf = U"\r\n";

// The message box text for one failed rename. Only the first two kinds have texts of their own;
// anything else shows the system's description of the error.
Text errorText(const RenameOutcome& outcome, const Text& oldName, const Text& newName) {
    switch (outcome.kind) {
        case RenameErrorKind::NameNotAccepted:
            return U"Název >" + newName + U"<" + kCrLf + U"     nebo >" + oldName + U"<" + kCrLf +
                   U"           není povolen," + kCrLf + U">" + oldName + U"< nebude přejmenován";
        case RenameErrorKind::TargetExists: return U"Soubor či složka >" + newName + U"< již existuje";
        case RenameErrorKind::Other:
        case RenameErrorKind::None: break;
    }
    return fromUtf8(failureText(outcome.failure));
}

Text reportText(int attempts, const std::vector<Text>& failureList) {
    const int failures = static_cast<int>(failureList.size());
    Text report = U"Přejmenování ukončeno" + kCrLf + kCrLf + U"Přejmenováno " + decimal(attempts - failures) +
                  U" souborů" + kCrLf;
    if (failures >= 1) {
        report += U"Nepřejmenováno " + decimal(failures) + U" souborů" + kCrLf;
        for (const auto& line : failureList) report += kCrLf + line;
    }
    return report;
}

// A folder that could not be opened still lets the loop run: every rename then fails with the
// reason the folder could not be opened, which is what the user needs to see.
// `journal`: the run's journal, whose row k holds the names as bytes already; null when unjournaled.
RenameOutcome renameIn(RenameFolder& folder, const PreviewEntry& row, RunRecorder* journal, std::size_t k) {
    if (!folder.isOpen()) {
        RenameOutcome failed;
        failed.kind = RenameErrorKind::Other;
        failed.failure = *folder.openError();
        return failed;
    }
    if (journal) {
        return folder.rename(journal->row(k).oldName, journal->row(k).newName,
                             [journal, k] { return journal->temporary(k); });
    }
    return folder.rename(toUtf8(row.oldName), toUtf8(row.newName));
}

// The questions before a run: false, with result.end set, when one was not answered Yes.
bool confirmed(const Text& txtExt, Dialogs& dialogs, RunResult& result) {
    if (dialogs.messageBox(U"Opravdu chcete přejmenovat vybrané soubory?", box::yesNo) != Answer::yes) {
        result.end = RunEnd::Declined;
        return false;
    }
    if (txtExt != U"*" &&
        dialogs.messageBox(U"Měníte přípony." + kCrLf + U"Je to tak správně?", box::yesNo) != Answer::yes) {
        result.end = RunEnd::ExtensionDeclined;
        return false;
    }
    return true;
}

// The question for one entry: sets whether it is renamed, and the last answer stands for the entries
// after it that are not asked about. False stops the run: a box closed any other way than Yes or
// No stops it, as Cancel does.
bool askEach(const PreviewEntry& row, Dialogs& dialogs, bool& renameFlag) {
    const Answer answer = dialogs.messageBox(
        U"Chcete přejmenovat soubor >" + row.oldName + U"< na >" + row.newName + U"< ?", box::yesNoCancel);
    if (answer != Answer::yes && answer != Answer::no) return false;
    renameFlag = answer == Answer::yes;
    return true;
}

// Writes the plan of the rows that carry a usable new name: false, after a message, when it cannot.
bool beginJournal(RunRecorder& journal, RenameFolder& dir, const std::string& folder, const PreviewList& rows,
                  const ListingForPlan& listingForPlan, Dialogs& dialogs) {
    std::vector<JournalRow> planned;
    planned.reserve(rows.size());
    for (const PreviewEntry& row : rows) {
        if (!row.marker()) planned.push_back({.oldName = toUtf8(row.oldName), .newName = toUtf8(row.newName)});
    }
    const std::optional<Failure> failure = journal.begin(
        dir, folder,
        RunRecorder::planRows(folder, dir, std::move(planned), listingForPlan ? listingForPlan() : nullptr));
    if (!failure) return true;
    dialogs.messageBox(U"Záznam pro vrácení přejmenování nelze uložit do >" + fromUtf8(journalFolder()) + U"<:" +
                           kCrLf + fromUtf8(failureText(*failure)) + kCrLf + U"Nic nebylo přejmenováno.",
                       box::critical);
    return false;
}

// A failed rename: its message joins result.failed; returns its line of the report.
Text reportFailure(const RenameOutcome& outcome, const PreviewEntry& row, const std::string& folder,
                   RunResult& result) {
    Text message = errorText(outcome, row.oldName, row.newName);
    Text failure = row.oldName + U" nepřejmenován na " + row.newName;
    if (!outcome.leftAs.empty()) {
        // Half a change of letter case: the entry is neither under its old name nor its new one.
        const Text temporary = fromUtf8(outcome.leftAs);
        message += kCrLf + kCrLf + U"Soubor či složka >" + row.oldName + U"< má nyní dočasné jméno >" + temporary +
                   U"<" + kCrLf + U"ve složce >" + fromUtf8(folder) + U"<";
        failure += U", nyní >" + temporary + U"<";
    }
    result.failed.push_back({row.oldName, row.newName, std::move(message)});
    return failure;
}

// The run's part of each row that carries a usable new name: the question for it when each entry
// is to be confirmed, then the safe rename, journaled.
class RunAction final : public RowAction {
public:
    RunAction(const PreviewList& rows, RenameFolder& dir, RunRecorder* journal, const std::string& folder,
              Dialogs& dialogs, RenameFrontEnd& frontEnd, RunResult& result)
        : dir_(dir), journal_(journal), folder_(folder), dialogs_(dialogs), frontEnd_(frontEnd), result_(result) {
        for (const PreviewEntry& row : rows) {
            if (!row.marker()) planned_.push_back(&row);
        }
    }

    std::size_t count() const { return planned_.size(); }
    std::optional<Text> entry(std::size_t k) override { return planned_[k]->newName; }

    // k is the row's place in the journal's plan.
    RowOutcome act(std::size_t k, const Text& entry) override {
        const PreviewEntry& row = *planned_[k];
        if (frontEnd_.confirmEach() && !askEach(row, dialogs_, renameFlag_)) return RowOutcome::Kind::stop;
        if (!renameFlag_) return RowOutcome::Kind::declined;
        frontEnd_.processEvents();
        frontEnd_.progress(entry, U" A");
        const RenameOutcome outcome = renameIn(dir_, row, journal_, k);
        // An entry left under its temporary name has left its old one too: the undo brings it back.
        if ((outcome.ok() || !outcome.leftAs.empty()) && journal_) journal_->markRenamed(k);
        if (outcome.ok()) return RowOutcome::Kind::renamed;
        Text line = reportFailure(outcome, row, folder_, result_);
        return RowOutcome::failure(result_.failed.back().message, std::move(line));
    }

private:
    std::vector<const PreviewEntry*> planned_;
    RenameFolder& dir_;
    RunRecorder* journal_;  // null when unjournaled
    const std::string& folder_;
    Dialogs& dialogs_;
    RenameFrontEnd& frontEnd_;
    RunResult& result_;
    bool renameFlag_ = true;  // the last answer to the question for one entry
};

}  // namespace

RunResult cmdPrejmenovat_Run(const std::string& folder, PreviewList rows, const Text& txtExt, Dialogs& dialogs,
                             RenameFrontEnd& frontEnd) {
    return cmdPrejmenovat_Run(folder, std::move(rows), txtExt, dialogs, frontEnd, realSysCalls());
}

RunResult cmdPrejmenovat_Run(const std::string& folder, PreviewList rows, const Text& txtExt, Dialogs& dialogs,
                             RenameFrontEnd& frontEnd, SysCalls& sys) {
    return cmdPrejmenovat_Run(-1, folder, std::move(rows), txtExt, dialogs, frontEnd, sys);
}

RunResult cmdPrejmenovat_Run(int folderFd, const std::string& folder, PreviewList rows, const Text& txtExt,
                             Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys,
                             const ListingForPlan& listingForPlan) {
    RunResult result;
    if (!confirmed(txtExt, dialogs, result)) return result;

    std::optional<RenameFolder> opened;
    if (folderFd >= 0)
        opened.emplace(folderFd, sys);
    else
        opened.emplace(folder, sys);
    RenameFolder& dir = *opened;
    if (!dir.lockRun()) {
        dialogs.messageBox(kFolderBusy, box::exclamation);
        result.end = RunEnd::NotStarted;
        return result;
    }
    // A folder that cannot be opened renames nothing, so there is nothing to journal.
    RunRecorder journal;
    const bool journaled = dir.isOpen();
    if (journaled && !beginJournal(journal, dir, folder, rows, listingForPlan, dialogs)) {
        result.end = RunEnd::NotStarted;
        return result;
    }

    RunAction action(rows, dir, journaled ? &journal : nullptr, folder, dialogs, frontEnd, result);
    const LoopEnd end = renameLoop(action.count(), action, frontEnd, dialogs);
    result.attempts = end.renamed + static_cast<int>(end.failures.size());

    // The plan alone still lets the run be taken back, so a failure here changes no outcome.
    if (journaled) journal.finish();
    result.end = RunEnd::Finished;
    result.failures = static_cast<int>(end.failures.size());
    result.report = reportText(result.attempts, end.failures);
    result.reportStyle = result.failures >= 1 ? box::exclamation : box::information;
    dialogs.messageBox(result.report, result.reportStyle);
    return result;
}

}  // namespace zelvar
