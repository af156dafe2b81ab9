// SPDX-License-Identifier: MIT
#include "ui/windows/results_export.h"

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include <QFile>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "common/file_descriptor.h"
#include "common/output_file.h"
#include "export/result_formats.h"
#include "ui/app_shell.h"
#include "ui/program_end.h"
#include "ui/windows/run_views.h"

namespace kestrelmoor::ui {
namespace {

constexpr std::size_t kWriteChunk = 1 << 16;

// The file's failures say the system's reason alone ("No space left on device"), as the error report
// shows it; the file's name is in the report already.
template <class F>
void WithSystemReason(F&& work) {
    try {
        work();
    } catch (const std::system_error& e) {
        throw std::system_error(e.code());
    }
}

using Step = SaveResultsStep;

// Writes what has gathered once it is worth a system call; a failing write throws with the system's
// reason.
void WriteOut(OutputFile& file, std::string& pending, bool all = false) {
    if (pending.empty() || (!all && pending.size() < kWriteChunk)) return;
    if (const int error = WriteAll(file.fd(), pending))
        throw std::system_error(error, std::generic_category());
    pending.clear();
}

// The target as OutputFile says: a file is replaced as a whole, a device or a pipe written in place; a
// pipe without a reader is not waited on, as the window would hang.
std::unique_ptr<OutputFile> OpenForSaving(const QString& name) {
    std::unique_ptr<OutputFile> file;
    try {
        WithSystemReason([&] {
            file =
                std::make_unique<OutputFile>(QFile::encodeName(name).toStdString(), PipeReader::kMustBeThere);
        });
    } catch (const std::system_error& e) {
        // The system's words ("No such device or address") do not say what is wrong.
        if (e.code().value() == ENXIO)
            throw std::runtime_error("Nobody reads that pipe (" + e.code().message() + ")");
        throw;
    }
    return file;
}

void Commit(OutputFile& file) {
    WithSystemReason([&] { file.Commit(); });
}

}  // namespace

void CopyListToClipboard(Toolkit& toolkit, const ListSource& list) {
    std::optional<std::string> text = ClipboardText(list, [&toolkit] { toolkit.ProcessPendingEvents(); });
    if (!text) return;
    toolkit.ClearClipboard();
    toolkit.SetClipboardText(QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())));
}

void ResultsExport::SaveAsTextFile() {
    Save(Format::kLines);
}

void ResultsExport::SaveAsCommaDelimited() {
    Save(Format::kCommaDelimited);
}

QString ResultsExport::ChooseTarget(Trap& trap) {
    const QString title = QStringLiteral("Save");
    // "*" rather than "*.*": a file name here need not have a dot, and "*.*" would hide those without.
    const QStringList filters = {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")};
    // The dialog asks nothing about overwriting: the question below does.
    QString name;
    trap.Step(Step::AskFileName, [&] { name = toolkit_.AskSaveFileName(title, filters); });
    if (name.isEmpty()) return {};

    // A name that exists is replaced only when the user says so; a failing question replaces nothing.
    bool replace = true;
    if (trap.Test(Step::TargetExists, [&] { return FileExists(name); })) {
        replace = false;
        trap.Step(Step::AskOverwrite, [&] {
            replace = toolkit_.AskYesNo(QStringLiteral("Are you sure you wish to overwrite ") + name +
                                        QStringLiteral(" ?"));
        });
    }
    return replace ? name : QString();
}

void ResultsExport::Save(Format format) {
    const bool lines = format == Format::kLines;
    Trap trap(toolkit_, lines ? kSaveTextFileLocation : kSaveCommaDelimitedLocation);
    const QString name = ChooseTarget(trap);
    if (name.isEmpty()) return;
    trap.Step(Step::Hourglass, [&] { pointer_.SetState(PointerState::kHourglass); });

    // A file is written beside the target and replaces it only once complete (see OutputFile): a
    // failure part-way (a full disk, a list emptied meanwhile) leaves the old file as it was. After the
    // first failure the export ends with that one report.
    std::unique_ptr<OutputFile> file;
    // Closing the window meanwhile ends the program at once: the temporary file goes first.
    const UndoAtProgramEnd discard([&file] {
        if (file) file->Discard();
    });
    std::string pending;
    const std::uint64_t generation = results_.Generation();
    bool ok = trap.Step(Step::Open, [&] { file = OpenForSaving(name); });
    std::int64_t rows = 0;
    ok = ok && trap.Step(Step::CountRows, [&] { rows = results_.Count(); });
    for (std::int64_t row = 1; ok && row <= rows; ++row) {
        ok = trap.Step(Step::LetEventsIn, [&] {
            toolkit_.ProcessPendingEvents();
            if (results_.Generation() != generation) {
                throw std::runtime_error(
                    "The result list was cleared while it was being saved; the file was not written.");
            }
        });
        ok = ok && trap.Step(Step::AddRow, [&] {
            if (lines) {
                AppendTextFileLine(pending, results_.Text(row));
                WriteOut(*file, pending);
            } else {
                AppendCommaItem(pending, results_.Text(row));
            }
        });
    }
    if (lines) {
        ok = ok && trap.Step(Step::TextFileReplace, [&] {
            WriteOut(*file, pending, true);
            Commit(*file);
        });
        trap.Step(Step::TextFilePointer, [&] { pointer_.SetState(PointerState::kDefault); });
    } else {
        ok = ok && trap.Step(Step::CommaLineEnd, [&] {
            pending += kLineEnd;
            WriteOut(*file, pending, true);
        });
        ok = ok && trap.Step(Step::CommaReplace, [&] { Commit(*file); });
        trap.Step(Step::CommaPointer, [&] { pointer_.SetState(PointerState::kArrow); });
    }
}

void ResultsExport::CopyToClipboard() {
    Trap trap(toolkit_, kCopyToClipboardLocation);
    trap.Step(CopyToClipboardStep::Copy, [&] { CopyListToClipboard(toolkit_, ListSourceAdapter(results_)); });
    trap.Step(CopyToClipboardStep::Tell, [&] {
        toolkit_.ShowMessage(
            QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where you "
                           "normally type and press Ctrl+V to paste the clipboard."));
    });
}

}  // namespace kestrelmoor::ui
