#include "twds/Messages.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace twds {

namespace {

struct BuiltInText {
    int id;
    std::string_view text;
};

// The English catalogue's texts of the viewer's own messages, so that a
// failure is still explained when no catalogue could be loaded. Sorted by id.
constexpr std::array kBuiltInTexts{
    BuiltInText{message::kConnectFailed, "Connection failed to the machine &1. The rasion : &2"},
    BuiltInText{message::kPageFailed,
                "Page &1 (position &2) could not be retrieved. The reason: &3"},
    BuiltInText{message::kFilePageFailed,
                "Page &1 (position &2) of file &3 could not be retrieved. The reason: &4"},
    BuiltInText{message::kNameLength, "The user space name must have exactly 10 characters: &1"},
    BuiltInText{message::kDisplayed, "User space &1 displayed: &2 file(s)."},
    BuiltInText{message::kNoReasonGiven, "no reason given"},
    BuiltInText{message::kExported, "Exported to &1"},
    BuiltInText{message::kDataPathMissing,
                "Export failed: the registry value &1 is missing or shorter than 4 characters "
                "(registry: &2)."},
    BuiltInText{message::kExportFolderMissing, "Export failed: the folder &1 does not exist."},
    BuiltInText{message::kExportNotWritten,
                "Export failed: &1 could not be written (&2). Nothing was changed."},
    BuiltInText{message::kExportRefused,
                "Export refused: the user space name &1 would make a file outside the folder."},
    BuiltInText{message::kHostLinkNotStarted, "The host link could not be started: &1"},
    BuiltInText{message::kInputMissing,
                "Enter the machine's IP address and the user space name, then press Display."},
    BuiltInText{message::kOutOfMemory,
                "Display stopped: not enough memory to show this user space (&1). The rows read "
                "so far are shown."},
    BuiltInText{message::kTooManyRows,
                "Display stopped: file &1 claims &2 ZC entries, which would take the lists past "
                "&3 rows. The rows read so far are shown."},
    BuiltInText{message::kIgnoredArguments, "Ignored on the command line: &1"},
    BuiltInText{message::kExportCancelled, "Export cancelled: nothing was written."},
    BuiltInText{message::kChooseLocation, "Choose where to save the file."},
    BuiltInText{message::kUseOutputOption, "Use --output FILE to write it elsewhere."},
    BuiltInText{message::kNoDisplay,
                "twDspUsrSpc: the window needs a display server and none was found (DISPLAY and "
                "WAYLAND_DISPLAY are not set). To display and export without a window, use "
                "--export; see --help."},
    BuiltInText{message::kWindowsDataPath,
                "Export failed: the registry value &1 holds &2, a Windows path, which this system "
                "cannot use (registry: &3). Write it with \"/\" separators, for example "
                "/srv/tidewell/DATA."},
    BuiltInText{message::kSourceLibrary, "Source: the host-link library &1"},
    BuiltInText{message::kSourceSavedFile, "Source: the saved user space &1"},
    BuiltInText{message::kSourceSample, "Source: the sample &1"},
    BuiltInText{message::kDisplayedTarget, "Machine &1, user space &2"},
    BuiltInText{message::kExportFileFilter, "Exports (*.usrspc);;All files (*)"},
    BuiltInText{message::kRegistryUnreadable,
                "Export failed: the registry value &1 cannot be read: &2"},
    BuiltInText{message::kDataPathHoldsNul,
                "Export failed: the registry value &1 holds a NUL byte at character &2, which "
                "would cut the path short (registry: &3). Correct the value."},
    BuiltInText{message::kArgumentsNotAnsi,
                "The address and name &1 hold characters that Windows-1252, the engine's code "
                "page, cannot hold (shown as \"?\"). Give them in characters it holds."},
    BuiltInText{message::kFindTextNotAnsi,
                "Nothing in a user space can match &1: it holds characters that Windows-1252, "
                "the engine's code page, cannot hold (shown as \"?\")."},
    BuiltInText{message::kFoundNotWritten,
                "The rows found could not be written to standard output (&1)."},
    BuiltInText{message::kSnapshotWindowTitle, "&1 - snapshot of &2/&3, fetched &4"},
    BuiltInText{message::kRefusedAddress,
                "The machine address &1 cannot name a folder of saved user spaces: it must not be "
                "empty nor contain \"/\", \"\\\", \"..\" or NUL bytes."},
    BuiltInText{message::kNoStoreConfigured,
                "No folder of saved user spaces is configured. Name one with --store DIR or "
                "$TWDSPUSRSPC_STORE, or choose a host-link library with --hostlink."},
    BuiltInText{
        message::kNoSavedMachine,
        "No user spaces are saved for the machine &1: there is no folder \"&1\" in &2. Save "
        "its user spaces as <store>/&1/<NAME>.twus or name another store with --store."},
    BuiltInText{message::kUserSpaceNotSaved,
                "The user space &1 is not saved for the machine &2: there is no file &1.twus in "
                "&3."},
    BuiltInText{message::kNotConnected,
                "No connection is open: open a connection to the machine before retrieving "
                "user-space pages."},
    BuiltInText{message::kRefusedUserSpaceName,
                "The user space name &1 cannot name a saved user space file: it must not be blank "
                "nor contain \"/\", \"\\\", \"..\" or NUL bytes."},
    BuiltInText{message::kBadPageRequest,
                "Malformed page request &1: expected a blank, an 8-digit position and a page kind "
                "letter."},
    BuiltInText{message::kNoSuchPage,
                "The user space &1 (&2) has no page of kind &3 at position &4."},
    BuiltInText{message::kFileEndsInHeader,
                "&1: at byte offset &2: the file ends inside its header line; expected \"TWUSRSPC "
                "PAGES 1\" and a line feed. The file is truncated."},
    BuiltInText{message::kFileHeaderCrLf,
                "&1: at byte offset &2: the header line ends in CR LF: the file's line ends were "
                "converted (for example by a text-mode copy or git's autocrlf), which changes the "
                "page bytes. Copy or check out the file unchanged, byte for byte."},
    BuiltInText{message::kFileUnsupportedFormat,
                "&1: at byte offset &2: unsupported format &3; this viewer reads \"TWUSRSPC PAGES "
                "1\". Save the user space again."},
    BuiltInText{message::kFileNotSavedUserSpace,
                "&1: at byte offset &2: expected the header line \"TWUSRSPC PAGES 1\", found &3. "
                "This is not a saved user space file."},
    BuiltInText{message::kFileBadRecordLine,
                "&1: at byte offset &2: expected a record line \"<kind letter> <8-digit position> "
                "<length>\" and a line feed, found &3."},
    BuiltInText{message::kFileEndsInRecordLine,
                "&1: at byte offset &2: expected a record line \"<kind letter> <8-digit position> "
                "<length>\" and a line feed, found &3 at the end of the file. The file is "
                "truncated."},
    BuiltInText{message::kFilePageLengthPastEnd,
                "&1: at byte offset &2: the page length &3 runs past the end of the file (&4 bytes "
                "follow the record line). The file is truncated or its length is wrong."},
    BuiltInText{message::kFileEndsAfterPage,
                "&1: at byte offset &2: the file ends right after the page text; expected a line "
                "feed. The file is truncated."},
    BuiltInText{message::kFileNoLineFeedAfterPage,
                "&1: at byte offset &2: expected a line feed after the &3 bytes of the page &4 &5, "
                "found &6. The page length is wrong."},
    BuiltInText{message::kFileNotOpened, "Cannot open the user space file &1: &2."},
    BuiltInText{message::kFileNotRegular,
                "The user space file &1 is not a regular file: a folder, named pipe or device "
                "cannot be read as a saved user space."},
    BuiltInText{message::kFileTooLarge,
                "The user space file &1 is too large to be read (&2 bytes)."},
    BuiltInText{message::kFileNoMemory,
                "Not enough memory to read the user space file &1 (&2 bytes)."},
    BuiltInText{message::kFileShortRead,
                "Cannot read the user space file &1: only &2 of &3 bytes could be read."},
    BuiltInText{message::kLibraryNotLoaded,
                "Cannot load the host-link library &1: &2. Check the path given with --hostlink or "
                "$TWDSPUSRSPC_HOSTLINK."},
    BuiltInText{message::kLibraryLacksFunctions,
                "The host-link library &1 lacks functions the viewer needs: &2. It is not a "
                "DllParam host-link library, or not a compatible version."},
    BuiltInText{message::kLibraryNotRegular,
                "The host-link library &1 is not a regular file: a folder, named pipe or device "
                "cannot be loaded as a library."},
    BuiltInText{message::kStoreMissing,
                "The folder of saved user spaces &1 does not exist. Check the folder given with "
                "--store or $TWDSPUSRSPC_STORE."},
    BuiltInText{message::kStoreNotFolder,
                "The folder of saved user spaces &1 is not a folder. Check the path given with "
                "--store or $TWDSPUSRSPC_STORE."},
    BuiltInText{message::kCopyRowsCommand, "&Copy"},
    BuiltInText{message::kSelectAllCommand, "Select &all"},
    BuiltInText{message::kCopyCapped,
                "Copied the first &1 of the &2 selected rows: one copy takes at most &1 rows."},
    BuiltInText{message::kFindCommand, "&Find"},
    BuiltInText{message::kFindNextCommand, "Find &next"},
    BuiltInText{message::kFindPreviousCommand, "Find &previous"},
    BuiltInText{message::kOnlyMatchingCommand, "Show &only matching rows"},
    BuiltInText{message::kFindMatchOf, "&1 of &2"},
    BuiltInText{message::kFindNoMatch, "No match"},
    BuiltInText{message::kFindNotAnsi,
                "No match: the text holds characters that Windows-1252, the engine's code page, "
                "cannot hold."},
    BuiltInText{message::kFindSearching, "Searching\x85"},
    BuiltInText{message::kDigitGroupSeparator, ","},
    BuiltInText{message::kFindTabCaption, "&1 &2"},
    BuiltInText{message::kCloseFindBar, "Close the find bar (Esc)"},
    BuiltInText{message::kFindPlaceholder, "Find in labels and values"},
    BuiltInText{message::kRefreshCommand, "&Refresh"},
    BuiltInText{message::kAutoRefreshCommand, "Refresh e&very\x85"},
    BuiltInText{message::kAutoRefreshPrompt, "Refresh every how many seconds (1 to 3600)?"},
    BuiltInText{
        message::kAutoRefreshInvalid,
        "\"&1\" is not a number of seconds from 1 to 3600; the automatic refresh stays off."},
    BuiltInText{message::kAutoRefreshOn,
                "Refreshing every &1 seconds; \"Refresh every\x85\" again stops it."},
    BuiltInText{message::kAutoRefreshOff, "The automatic refresh is off."},
    BuiltInText{message::kAutoRefreshStopped,
                "The automatic refresh stopped because the refresh failed."},
    BuiltInText{message::kRefreshing, "Refreshing\x85"},
    BuiltInText{message::kFileColumnCaption, "File"},
    BuiltInText{message::kShowFileColumnCommand, "Show the fi&le column"},
    BuiltInText{message::kInspectCommand, "&Inspect"},
    BuiltInText{message::kInspectorTitle, "Inspector"},
    BuiltInText{message::kRowFile, "File &1"},
    BuiltInText{message::kRowFileEntry, "File &1, ZC entry &2"},
    BuiltInText{message::kFileColumnNotSaved,
                "The file column stays as it is for this run only: the registry value &1 cannot "
                "be written: &2"},
    BuiltInText{message::kInspectList, "List"},
    BuiltInText{message::kInspectRow, "Row"},
    BuiltInText{message::kInspectField, "Field"},
    BuiltInText{message::kInspectPage, "Page"},
    BuiltInText{message::kInspectOffset, "Offset in page"},
    BuiltInText{message::kInspectWidth, "Width"},
    BuiltInText{message::kInspectPosition, "User-space position"},
    BuiltInText{message::kInspectZcEntry, "ZC entry"},
    BuiltInText{message::kInspectNumber, "Number read"},
    BuiltInText{message::kInspectNumberNotDigits, "&1 (read from a text that is not plain digits)"},
    BuiltInText{message::kInspectNumberOutOfRange, "none: outside a &1-bit integer"},
    BuiltInText{message::kInspectBytes, "Bytes"},
    BuiltInText{message::kInspectNothing, "Select a row of a list to inspect it."},
    BuiltInText{message::kSourceSnapshot, "Source: the snapshot &1 of &2/&3, fetched &4"},
    BuiltInText{message::kSnapshotWithoutHeader,
                "&1 has no snapshot header: its machine is taken from its folder's name (&2) and "
                "its user space from its file name (&3)."},
    BuiltInText{message::kSnapshotWritten, "Snapshot saved: &1 (&2 pages)."},
    BuiltInText{message::kSnapshotExists, "The file &1 already exists."},
    BuiltInText{message::kUseForceOption, "Use --force to replace it."},
    BuiltInText{message::kSnapshotNotWritten, "Cannot write the snapshot &1: &2"},
    BuiltInText{message::kNothingToSnapshot,
                "No page was fetched: there is nothing to save in a snapshot."},
    BuiltInText{message::kDifferencesNotWritten,
                "The differences could not be written to standard output (&1)."},
    BuiltInText{message::kCompareOld, "Old user space: &1"},
    BuiltInText{message::kCompareNew, "New user space: &1"},
    BuiltInText{message::kSnapshotIncomplete,
                "The snapshot holds only the pages fetched before the Display stopped."},
    BuiltInText{message::kSaveSnapshotCommand, "&Save snapshot"},
    BuiltInText{message::kOpenSnapshotCommand, "Op&en snapshot"},
    BuiltInText{message::kSnapshotFileFilter, "Snapshots (*.twus);;All files (*)"},
    BuiltInText{message::kCompareCommand, "Compare &with\x85"},
    BuiltInText{message::kCompareTargetPlaceholder, "ADDRESS/NAME or snapshot file (.twus)"},
    BuiltInText{message::kCompareBrowse, "&Browse\x85"},
    BuiltInText{message::kCompareButton, "Co&mpare"},
    BuiltInText{message::kOnlyDifferencesCommand, "Only &differences"},
    BuiltInText{message::kCloseCompareBar, "Close the comparison (Esc)"},
    BuiltInText{message::kDifferences, "&1 differences"},
    BuiltInText{message::kOneDifference, "1 difference"},
    BuiltInText{message::kNoDifference, "No difference"},
    BuiltInText{message::kComparedWith,
                "Compared with &1/&2 (old; the one shown is new): ~ changed, + only here, - only "
                "there. &3"},
    BuiltInText{message::kComparedWithPrevious,
                "Compared with the previous Display, fetched at &1: ~ changed, + new, - gone."},
    BuiltInText{message::kNextDifferenceCommand, "Next difference"},
    BuiltInText{message::kPreviousDifferenceCommand, "Previous difference"},
    BuiltInText{message::kBeforeColumn, "Before"},
    BuiltInText{message::kCompareTargetMissing,
                "Give an address and a user-space name (ADDRESS/NAME) or a snapshot file (.twus) "
                "to compare with."},
    BuiltInText{message::kCompareFailed, "Nothing to compare with: &1"},
    BuiltInText{message::kEndTwBefore, "&1 End_TW differs. Before:"},
    BuiltInText{message::kNothingToRefresh, "Nothing to refresh: display a user space first."},
    BuiltInText{message::kCompareDialogTitle, "Compare with a snapshot"},
    BuiltInText{message::kComparing, "Displaying &1 to compare with\x85"},
    BuiltInText{message::kQuestionOk, "OK"},
    BuiltInText{message::kQuestionCancel, "Cancel"},
    BuiltInText{message::kProblemPageFailed,
                "Page &1 (position &2) could not be retrieved, and no page after it was requested. "
                "The reason: &3"},
    BuiltInText{message::kProblemConnectFailed,
                "The connection to &1 failed: &2. No page was requested."},
    BuiltInText{message::kProblemNameLength,
                "The user space name &1 does not have 10 characters: no page was requested."},
    BuiltInText{message::kProblemRepeatedKey,
                "Another row of this list has the label &1 in the same place, so both have the "
                "same key. Both are shown; the catalogue may give two fields the same text."},
    BuiltInText{message::kProblemRepeatedFicID,
                "The FicID &1 is also that of file &2. Both files are shown, but the engine finds "
                "a file by its FicID and will see only one of them."},
    BuiltInText{message::kProblemBlankFicID,
                "File &1 has a blank FicID. Its rows are shown, but the engine cannot tell this "
                "file apart."},
    BuiltInText{message::kProblemLabelMissing,
                "The catalogue has no text for id &1: this field's rows are shown without a label. "
                "Check the catalogue file."},
    BuiltInText{message::kProblemOutOfRange,
                "\"&1\" is a number outside the range of a &2-bit field: it is read as &3, the "
                "nearest value in range."},
    BuiltInText{message::kProblemNegativeLength,
                "The statement length \"&1\" is negative: the statement is shown empty and reading "
                "goes on after the length field."},
    BuiltInText{message::kProblemStatementPastEnd,
                "The statement length &1 runs past the page's end: only &2 characters are shown."},
    BuiltInText{message::kProblemZcPastPage,
                "Number of ZC &1 is more than a ZC page holds (&2 entries): the entries past the "
                "page's end are shown empty or cut."},
    BuiltInText{message::kProblemPositionWrapped,
                "The &1 page's position &2 has more than eight digits: the request asked for "
                "position &3 instead."},
    BuiltInText{message::kProblemNotDigits, "\"&1\" is not plain digits (&2): it is read as &3."},
    BuiltInText{message::kProblemEndTwLength,
                "END_TW length says &1 characters, but the End_TW page holds &2."},
    BuiltInText{message::kProblemEndTwNotExported,
                "END_TW length is &1: the End_TW text is shown but the export leaves it out."},
    BuiltInText{message::kProblemEndTwWithoutPage,
                "END_TW length is &1 but END_TW Offset is &2: no End_TW page was requested, and "
                "the export writes an empty End_TW section."},
    BuiltInText{message::kProblemNegativeCount,
                "The count &1 is negative: it is taken as 0, so none of its entries is shown."},
    BuiltInText{message::kProblemNegativeOffset,
                "The offset &1 is negative: the &2 page it points to was not requested."},
    BuiltInText{message::kProblemTooManyRows,
                "File &1 would take the lists past &2 rows: the Display stopped before it."},
    BuiltInText{message::kProblemOutOfMemory, "The memory ran out (&1): the Display stopped here."},
    BuiltInText{message::kNumberTextBlank, "blank, read as 0"},
    BuiltInText{message::kNumberTextSign, "a sign"},
    BuiltInText{message::kNumberTextDecimals, "decimals, rounded"},
    BuiltInText{message::kNumberTextExponent, "an exponent"},
    BuiltInText{message::kNumberTextHexadecimal, "hexadecimal after &H"},
    BuiltInText{message::kNumberTextOctal, "octal after &O"},
    BuiltInText{message::kNumberTextInnerBlanks, "blanks between the digits, skipped"},
    BuiltInText{message::kNumberTextOther, "letters or other characters, where reading stops"},
    BuiltInText{message::kSeverityError, "Error"},
    BuiltInText{message::kSeverityWarning, "Warning"},
    BuiltInText{message::kSeverityNote, "Note"},
    BuiltInText{message::kProblemsTitle, "Problems"},
    BuiltInText{message::kProblemsCommand, "Show pro&blems"},
    BuiltInText{message::kProblemsSeverity, "Severity"},
    BuiltInText{message::kProblemsList, "List"},
    BuiltInText{message::kProblemsFile, "File"},
    BuiltInText{message::kProblemsRow, "Row"},
    BuiltInText{message::kProblemsLabel, "Label"},
    BuiltInText{message::kProblemsMessage, "Message"},
    BuiltInText{message::kProblemsStatus, "&2 \xB7 &1 problem(s)"},
};

constexpr bool SortedById() {
    for (std::size_t i = 1; i < kBuiltInTexts.size(); ++i) {
        if (kBuiltInTexts[i - 1].id >= kBuiltInTexts[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(SortedById(), "BuiltInMessage looks texts up by binary search");

// Appends `value` with its control bytes (0x00-0x1F, 0x7F) as "\xNN".
void AppendEscaped(std::string& out, std::string_view value) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
}

}  // namespace

std::string FillPlaceholders(std::string_view text,
                             std::initializer_list<std::string_view> values) {
    std::string filled;
    filled.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find('&'); at != std::string_view::npos;
         at = text.find('&', start)) {
        if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') {
            filled.append(text.substr(start, at - start));
            const auto index = static_cast<std::size_t>(text[at + 1] - '1');
            if (index < values.size()) {
                AppendEscaped(filled,
                              *std::next(values.begin(), static_cast<std::ptrdiff_t>(index)));
            }
            start = at + 2;
        } else {
            filled.append(text.substr(start, at + 1 - start));
            start = at + 1;
        }
    }
    filled.append(text.substr(start));
    return filled;
}

std::string_view BuiltInMessage(int id) {
    const auto* found =
        std::lower_bound(kBuiltInTexts.begin(), kBuiltInTexts.end(), id,
                         [](const BuiltInText& entry, int wanted) { return entry.id < wanted; });
    return found != kBuiltInTexts.end() && found->id == id ? found->text : std::string_view();
}

MessageLookup BuiltInMessages() {
    return [](int id, std::initializer_list<std::string_view> values) {
        return FillPlaceholders(BuiltInMessage(id), values);
    };
}

}  // namespace twds
