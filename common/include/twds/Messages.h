#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace twds {

// Looks up one of the viewer's own messages by catalogue id with "&1", "&2",
// ... replaced by the values in order (missing values are empty). Returns
// bytes in Windows-1252.
using MessageLookup =
    std::function<std::string(int id, std::initializer_list<std::string_view> values)>;

// Catalogue ids of the viewer's own messages. Each has a built-in English
// text (BuiltInMessage) for when the catalogue lacks it.
namespace message {
inline constexpr int kConnectFailed = 5301;   // &1 machine, &2 reason
inline constexpr int kPageFailed = 5302;      // &1 kind, &2 position, &3 reason
inline constexpr int kFilePageFailed = 5303;  // &1 kind, &2 position, &3 file, &4 reason
inline constexpr int kNameLength = 5304;      // &1 name
inline constexpr int kDisplayed = 5308;       // &1 name, &2 number of files
inline constexpr int kNoReasonGiven = 5309;
inline constexpr int kExported = 5310;             // &1 file
inline constexpr int kDataPathMissing = 5311;      // &1 registry value, &2 registry location
inline constexpr int kExportFolderMissing = 5312;  // &1 folder
inline constexpr int kExportNotWritten = 5313;     // &1 file, &2 system error
inline constexpr int kExportRefused = 5314;        // &1 name
inline constexpr int kHostLinkNotStarted = 5315;   // &1 what failed
inline constexpr int kInputMissing = 5316;
inline constexpr int kOutOfMemory = 5319;       // &1 what could not be allocated
inline constexpr int kTooManyRows = 5320;       // &1 file, &2 ZC entries, &3 row budget
inline constexpr int kIgnoredArguments = 5321;  // &1 the arguments not understood
inline constexpr int kExportCancelled = 5322;
inline constexpr int kChooseLocation = 5323;      // advice after a failed export, in the window
inline constexpr int kUseOutputOption = 5324;     // the same advice without a window
inline constexpr int kNoDisplay = 5325;           // the window cannot open
inline constexpr int kWindowsDataPath = 5326;     // &1 registry value, &2 its text, &3 location
inline constexpr int kSourceLibrary = 5327;       // &1 library
inline constexpr int kSourceSavedFile = 5328;     // &1 file
inline constexpr int kSourceSample = 5329;        // &1 file
inline constexpr int kDisplayedTarget = 5330;     // &1 machine, &2 user space
inline constexpr int kExportFileFilter = 5331;    // the Save As dialog's file types
inline constexpr int kRegistryUnreadable = 5332;  // &1 registry value, &2 why
inline constexpr int kArgumentsNotAnsi = 5334;    // &1 the address and name as far as they go
inline constexpr int kDataPathHoldsNul = 5333;    // &1 registry value, &2 character, &3 location
inline constexpr int kFindTextNotAnsi = 5335;     // &1 the --find text as far as it goes
inline constexpr int kFoundNotWritten = 5336;     // &1 system error
// &1 the window's caption, &2 machine, &3 user space, &4 time fetched
inline constexpr int kSnapshotWindowTitle = 5337;
// The host link's own failures, the saved user spaces' and the library's.
inline constexpr int kRefusedAddress = 5340;  // &1 address, quoted
inline constexpr int kNoStoreConfigured = 5341;
inline constexpr int kNoSavedMachine = 5342;     // &1 machine, &2 stores searched
inline constexpr int kUserSpaceNotSaved = 5343;  // &1 name, &2 machine, &3 folder
inline constexpr int kNotConnected = 5344;
inline constexpr int kRefusedUserSpaceName = 5345;  // &1 name, quoted
inline constexpr int kBadPageRequest = 5346;        // &1 request, quoted
inline constexpr int kNoSuchPage = 5347;            // &1 name, &2 file, &3 kind, &4 position
// A saved user-space file that cannot be read: &1 file, &2 byte offset.
inline constexpr int kFileEndsInHeader = 5348;
inline constexpr int kFileHeaderCrLf = 5349;
inline constexpr int kFileUnsupportedFormat = 5350;  // &3 header found, quoted
inline constexpr int kFileNotSavedUserSpace = 5351;  // &3 first line found, quoted
inline constexpr int kFileBadRecordLine = 5352;      // &3 line found, quoted
inline constexpr int kFileEndsInRecordLine = 5353;   // &3 line found, quoted
inline constexpr int kFilePageLengthPastEnd = 5354;  // &3 length, &4 bytes left
inline constexpr int kFileEndsAfterPage = 5355;
inline constexpr int kFileNoLineFeedAfterPage = 5356;  // &3 length, &4 kind, &5 position, &6 found
inline constexpr int kFileNotOpened = 5357;            // &1 file, &2 system reason
inline constexpr int kFileNotRegular = 5358;           // &1 file
inline constexpr int kFileTooLarge = 5359;             // &1 file, &2 size
inline constexpr int kFileNoMemory = 5360;             // &1 file, &2 size
inline constexpr int kFileShortRead = 5361;            // &1 file, &2 bytes read, &3 size
inline constexpr int kLibraryNotLoaded = 5362;         // &1 library, &2 system reason
inline constexpr int kLibraryLacksFunctions = 5363;    // &1 library, &2 functions and reasons
inline constexpr int kLibraryNotRegular = 5364;        // &1 library
inline constexpr int kStoreMissing = 5365;             // &1 folder
inline constexpr int kStoreNotFolder = 5366;           // &1 path
inline constexpr int kCopyRowsCommand = 5370;          // context menu: copy the selected rows
inline constexpr int kSelectAllCommand = 5371;         // context menu: select every row
inline constexpr int kCopyCapped = 5372;               // &1 rows copied, &2 rows selected
// The find bar and its commands.
inline constexpr int kFindCommand = 5380;          // context menu: open the find bar
inline constexpr int kFindNextCommand = 5381;      // context menu and the bar's button
inline constexpr int kFindPreviousCommand = 5382;  // context menu and the bar's button
inline constexpr int kOnlyMatchingCommand = 5383;  // context menu and the bar's check box
inline constexpr int kFindMatchOf = 5384;          // &1 the current match, &2 all matches
inline constexpr int kFindNoMatch = 5385;
inline constexpr int kFindNotAnsi = 5386;          // the find bar's text cannot be in a page
inline constexpr int kFindSearching = 5387;        // a search is running
inline constexpr int kDigitGroupSeparator = 5388;  // between groups of three digits
inline constexpr int kFindTabCaption = 5389;       // &1 the tab's caption, &2 its matches
inline constexpr int kCloseFindBar = 5390;         // the close button's tooltip
inline constexpr int kFindPlaceholder = 5391;      // the empty find box
// The file column, the row's file in the status line and the inspector.
inline constexpr int kFileColumnCaption = 5440;      // heading of the file column
inline constexpr int kShowFileColumnCommand = 5441;  // context menu, checkable
inline constexpr int kInspectCommand = 5442;         // context menu: open the inspector
inline constexpr int kInspectorTitle = 5443;
inline constexpr int kRowFile = 5444;             // status line: &1 FicID
inline constexpr int kRowFileEntry = 5445;        // status line: &1 FicID, &2 ZC entry
inline constexpr int kFileColumnNotSaved = 5446;  // &1 registry value, &2 why
inline constexpr int kInspectList = 5447;         // the inspection's labels
inline constexpr int kInspectRow = 5448;
inline constexpr int kInspectField = 5449;
inline constexpr int kInspectPage = 5450;
inline constexpr int kInspectOffset = 5451;
inline constexpr int kInspectWidth = 5452;
inline constexpr int kInspectPosition = 5453;
inline constexpr int kInspectZcEntry = 5454;
inline constexpr int kInspectNumber = 5455;
inline constexpr int kInspectNumberNotDigits = 5456;   // &1 the number read
inline constexpr int kInspectNumberOutOfRange = 5457;  // &1 16 or 32
inline constexpr int kInspectBytes = 5458;
inline constexpr int kInspectNothing = 5459;
// Snapshots and comparisons.
inline constexpr int kSourceSnapshot = 5460;  // &1 file, &2 machine, &3 user space, &4 time fetched
inline constexpr int kSnapshotWithoutHeader = 5461;  // &1 file, &2 machine, &3 user space
inline constexpr int kSnapshotWritten = 5462;        // &1 file, &2 number of pages
inline constexpr int kSnapshotExists = 5463;         // &1 file
inline constexpr int kUseForceOption = 5464;      // advice after kSnapshotExists without a window
inline constexpr int kSnapshotNotWritten = 5465;  // &1 file, &2 system error
inline constexpr int kNothingToSnapshot = 5466;
inline constexpr int kDifferencesNotWritten = 5467;  // &1 system error
inline constexpr int kCompareOld = 5468;             // &1 what is said of it
inline constexpr int kCompareNew = 5469;             // &1 what is said of it
inline constexpr int kSnapshotIncomplete = 5470;
inline constexpr int kSaveSnapshotCommand = 5471;  // context menu and Ctrl+S
inline constexpr int kOpenSnapshotCommand = 5472;  // context menu and Ctrl+O
inline constexpr int kSnapshotFileFilter = 5473;   // the snapshot dialogs' file types
// The comparison and the refresh
inline constexpr int kRefreshCommand = 5392;      // context menu and F5
inline constexpr int kAutoRefreshCommand = 5393;  // context menu: asks N, or turns it off
inline constexpr int kAutoRefreshPrompt = 5394;   // the question's text
inline constexpr int kAutoRefreshInvalid = 5395;  // &1 the text given
inline constexpr int kAutoRefreshOn = 5396;       // &1 seconds
inline constexpr int kAutoRefreshOff = 5397;
inline constexpr int kAutoRefreshStopped = 5398;
inline constexpr int kRefreshing = 5399;                // while a refresh runs
inline constexpr int kCompareCommand = 5474;            // context menu and Ctrl+D
inline constexpr int kCompareTargetPlaceholder = 5475;  // the empty box of the compare bar
inline constexpr int kCompareBrowse = 5476;
inline constexpr int kCompareButton = 5477;
inline constexpr int kOnlyDifferencesCommand = 5478;
inline constexpr int kCloseCompareBar = 5479;  // the close button's tooltip
inline constexpr int kDifferences = 5480;      // &1 number, grouped
inline constexpr int kOneDifference = 5481;
inline constexpr int kNoDifference = 5482;
inline constexpr int kComparedWith = 5483;  // &1 address, &2 name, &3 where its pages came from
inline constexpr int kComparedWithPrevious =
    5484;  // &1 when the previous Display was fetched (hh:mm:ss)
inline constexpr int kNextDifferenceCommand = 5485;      // context menu and F7
inline constexpr int kPreviousDifferenceCommand = 5486;  // context menu and Shift+F7
inline constexpr int kBeforeColumn = 5487;               // heading of the compared value column
inline constexpr int kCompareTargetMissing = 5488;
inline constexpr int kCompareFailed = 5489;  // &1 what went wrong
inline constexpr int kEndTwBefore = 5490;    // &1 mark, End_TW's tooltip above the other text
inline constexpr int kNothingToRefresh = 5491;
inline constexpr int kCompareDialogTitle = 5492;  // the Browse dialog's title
inline constexpr int kComparing = 5493;           // &1 what is displayed to compare with
inline constexpr int kQuestionOk = 5494;          // a question's buttons (the refresh period)
inline constexpr int kQuestionCancel = 5495;
// Anomalies of a user space that a Display met and went past (Problem.h),
// with the words that complete them and the window's problems pane.
inline constexpr int kProblemPageFailed = 5901;        // &1 kind, &2 position, &3 reason
inline constexpr int kProblemConnectFailed = 5902;     // &1 machine, &2 reason
inline constexpr int kProblemNameLength = 5903;        // &1 name
inline constexpr int kProblemRepeatedKey = 5904;       // &1 label
inline constexpr int kProblemRepeatedFicID = 5905;     // &1 FicID, &2 the file that had it first
inline constexpr int kProblemBlankFicID = 5906;        // &1 file number
inline constexpr int kProblemLabelMissing = 5907;      // &1 catalogue id, &2 field
inline constexpr int kProblemOutOfRange = 5908;        // &1 text, &2 16 or 32, &3 value used
inline constexpr int kProblemNegativeLength = 5909;    // &1 text
inline constexpr int kProblemStatementPastEnd = 5910;  // &1 length, &2 characters shown
inline constexpr int kProblemZcPastPage = 5911;        // &1 count, &2 entries a page holds
inline constexpr int kProblemPositionWrapped = 5912;   // &1 kind, &2 position, &3 requested
inline constexpr int kProblemNotDigits = 5913;         // &1 text, &2 what it holds, &3 read
inline constexpr int kProblemEndTwLength = 5914;       // &1 END_TW length, &2 page's length
inline constexpr int kProblemEndTwNotExported = 5915;  // &1 END_TW length
inline constexpr int kProblemEndTwWithoutPage = 5916;  // &1 END_TW length, &2 END_TW Offset
inline constexpr int kProblemNegativeCount = 5917;     // &1 count
inline constexpr int kProblemNegativeOffset = 5918;    // &1 offset, &2 page kind
inline constexpr int kProblemTooManyRows = 5919;       // &1 file, &2 row budget
inline constexpr int kProblemOutOfMemory = 5920;       // &1 what
inline constexpr int kNumberTextBlank = 5930;          // what a number field holds (&2 of 5913)
inline constexpr int kNumberTextSign = 5931;
inline constexpr int kNumberTextDecimals = 5932;
inline constexpr int kNumberTextExponent = 5933;
inline constexpr int kNumberTextHexadecimal = 5934;
inline constexpr int kNumberTextOctal = 5935;
inline constexpr int kNumberTextInnerBlanks = 5936;
inline constexpr int kNumberTextOther = 5937;
inline constexpr int kSeverityError = 5940;
inline constexpr int kSeverityWarning = 5941;
inline constexpr int kSeverityNote = 5942;
inline constexpr int kProblemsTitle = 5945;     // the pane's title
inline constexpr int kProblemsCommand = 5946;   // context menu: show the problems pane
inline constexpr int kProblemsSeverity = 5947;  // the pane's column headings
inline constexpr int kProblemsList = 5948;
inline constexpr int kProblemsFile = 5949;
inline constexpr int kProblemsRow = 5950;
inline constexpr int kProblemsLabel = 5951;
inline constexpr int kProblemsMessage = 5952;
inline constexpr int kProblemsStatus = 5953;  // status mark: &1 count, &2 highest severity
}  // namespace message

// `text` with "&1" to "&9" replaced by the values in order, in one pass: a
// value that itself holds "&2" stays as it is. A placeholder without a value
// becomes empty; "&" before anything else stays. Control bytes in a value (a
// typed name, a field's text) are written as "\xNN": a message is one line,
// and raw control bytes would break it or drive a terminal.
[[nodiscard]] std::string FillPlaceholders(std::string_view text,
                                           std::initializer_list<std::string_view> values);

// The English text of one of the viewer's own messages, placeholders
// unfilled; empty for an id that is not one of them.
[[nodiscard]] std::string_view BuiltInMessage(int id);

// A lookup that answers with the built-in English texts only (no catalogue).
[[nodiscard]] MessageLookup BuiltInMessages();

}  // namespace twds
