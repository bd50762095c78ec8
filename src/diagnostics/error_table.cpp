#include "diagnostics/error_table.h"

#include <string_view>

namespace {

using namespace std::string_view_literals;

// The entries by module, in ascending code ranges. Each module's tag is stored
// once; its entries (severity digit and text) follow one another, each ended
// by a NUL. Codes are written into logs and reports, so an existing code never
// changes its meaning: new messages go into new modules at the end.
struct ErrorModule {
  std::string_view tag;
  std::string_view entries;
};

constexpr ErrorModule kErrorModules[] = {
    // start-up: codes 1-16
    {"INIT",
     "2Can't create application window. \n%s\0"
     "2RegisterClassEx() failed.\n%s\0"
     "2COM could not be initialised (error %x).\0"
     "2The common controls could not be initialised.\0"
     "2Can't create the title font.\n%s\0"
     "2Can't create the body font.\n%s\0"
     "2The system version could not be read.\n%s\0"
     "4The program's icon resource %u is missing.\0"
     "4The dialog template %u is missing.\0"
     "2Not enough memory for the program-wide values.\0"
     "1Start-up step %u was entered twice.\0"
     "4UNICOWS.DLL is needed on this system but could not be loaded.\n%s\0"
     "2The program's own file name could not be read.\n%s\0"
     "1The main thread identifier was not recorded before start-up.\0"
     "2The uninstall log path could not be formed from '%s'.\0"
     "1The process-wide initialisers ran in the wrong order.\0"sv},
    // command line: codes 17-28
    {"CMDLINE",
     "2The command line could not be read.\0"
     "3The installation directory '%s' is too long.\0"
     "3The installation directory '%s' could not be resolved.\n%s\0"
     "3The switch '%s' is not known and was ignored.\0"
     "3The switch '%s' is too long.\0"
     "3The -U switch names no registry key.\0"
     "3The key name '%s' is not a single registry key name.\0"
     "1The switch string was not upper-cased before use.\0"
     "3The argument '%s' has an unmatched quotation mark.\0"
     "3The installation directory '%s' does not exist.\n%s\0"
     "2The current directory could not be read.\n%s\0"
     "1The installation directory has no trailing backslash: '%s'.\0"sv},
    // path placeholders: codes 29-42
    {"PATHS",
     "3The placeholder %%%c in '%s' is not known.\0"
     "3The path '%s' is too long after expansion.\0"
     "2The system directory could not be read.\n%s\0"
     "2The Windows directory could not be read.\n%s\0"
     "3The Program Files directory could not be read from the registry.\n%s\0"
     "3The path '%s' names no drive.\0"
     "3The product key is empty; %%k in '%s' expands to nothing.\0"
     "1The expansion buffer of %u bytes was too small.\0"
     "3The path '%s' ends with a lone percent sign.\0"
     "3The path '%s' collapses to an empty path.\0"
     "1Backslash runs were collapsed twice in '%s'.\0"
     "3The short name of '%s' could not be read.\n%s\0"
     "3The full path of '%s' could not be resolved.\n%s\0"
     "3The path '%s' contains characters the file system does not allow.\0"sv},
    // shutdown and restart: codes 43-56
    {"EXIT",
     "3The program could not be scheduled for deletion at restart: '%s'.\n%s\0"
     "3The shutdown privilege could not be enabled.\n%s\0"
     "3The system refused to restart.\n%s\0"
     "2The process token could not be opened.\n%s\0"
     "1The title font was deleted twice.\0"
     "1The body font was deleted twice.\0"
     "1COM was uninitialised twice.\0"
     "1The exit routine returned.\0"
     "3The restart question could not be shown.\n%s\0"
     "3The restart was cancelled by another program.\0"
     "1The exit routine ran on thread %u instead of the main thread.\0"
     "3The installation directory '%s' could not be scheduled for removal.\n%s\0"
     "1Exit code %d was requested; the uninstaller always ends with 1.\0"
     "3The restart text (string %u) is missing from the language file.\0"sv},
    // uninstall log: codes 57-74
    {"ULOG",
     "3Unable to open the installation log file '%s'.\n%s\0"
     "4The installation log '%s' is empty.\0"
     "4The installation log '%s' ends inside its header.\0"
     "3The product title line is longer than %u characters.\0"
     "3The product key line is longer than %u characters.\0"
     "3The language line is longer than %u characters.\0"
     "3Line %u of the installation log is longer than %u characters and was skipped.\0"
     "3The INI record on line %u has no section separator.\0"
     "3The INI record on line %u has no value line.\0"
     "3The program record on line %u lacks its working directory line.\0"
     "3The program record on line %u lacks its directory choice line.\0"
     "3The working directory on line %u is longer than %u characters.\0"
     "3The INI value on line %u is longer than %u characters.\0"
     "3The last record of the installation log has no line feed and was not carried out.\0"
     "2The installation log '%s' could not be read.\n%s\0"
     "1The installation log was read past its end.\0"
     "3The lines of the installation log could not be counted.\0"
     "4The installation log '%s' was written for another product: '%s'.\0"sv},
    // text line file: codes 75-88
    {"TEXTFILE",
     "2The file '%s' could not be opened for reading.\n%s\0"
     "2The file '%s' could not be opened for writing.\n%s\0"
     "2Reading '%s' failed.\n%s\0"
     "2Writing '%s' failed.\n%s\0"
     "2Closing '%s' failed.\n%s\0"
     "1A text line file was opened twice: '%s'.\0"
     "1A text line file was read while closed.\0"
     "1A text line file was written in read mode.\0"
     "1A line buffer of %u bytes is too small.\0"
     "2Seeking in '%s' failed.\n%s\0"
     "2The disk is full while writing '%s'.\0"
     "3The file '%s' contains a NUL character on line %u.\0"
     "1Lines were counted while the file was in write mode.\0"
     "3The file '%s' is not a text file.\0"sv},
    // removal worker: codes 89-108
    {"WORKER",
     "2The removal worker thread could not be started.\n%s\0"
     "1The removal worker was started twice.\0"
     "1The removal worker ran without an open installation log.\0"
     "3The record type '%c' on line %u is not known.\0"
     "3The file record '%s' could not be carried out.\0"
     "3The registry record '%s' could not be carried out.\0"
     "3The INI record '%s' could not be carried out.\0"
     "3The font record '%s' could not be carried out.\0"
     "3The COM server record '%s' could not be carried out.\0"
     "3The program record '%s' could not be carried out.\0"
     "3The language file '%s' could not be deleted.\n%s\0"
     "3The Unicode layer '%s' could not be deleted.\n%s\0"
     "3The installation log '%s' could not be deleted.\n%s\0"
     "1The progress bar moved past its total (%u of %u).\0"
     "2The progress window is gone; the worker cannot report progress.\0"
     "1The worker touched the page after it had finished.\0"
     "3The success line could not be shown.\0"
     "1The Finish button was enabled before the worker finished.\0"
     "3The placeholders of record '%s' could not be expanded.\0"
     "1The worker ended on line %u before the end of the log.\0"sv},
    // file removal: codes 109-128
    {"FILES",
     "3The file '%s' could not be deleted.\n%s\0"
     "3The read-only attribute of '%s' could not be cleared.\n%s\0"
     "3The file '%s' is in use and will be deleted at the next restart.\0"
     "3The file '%s' does not exist.\0"
     "3The path '%s' names a directory, not a file.\0"
     "3The system file '%s' is still used by other programs and was kept.\0"
     "3The attributes of '%s' could not be read.\n%s\0"
     "1The path '%s' was deleted although the user kept it.\0"
     "3The file '%s' lies outside every directory the log names.\0"
     "3The short name of '%s' could not be used.\n%s\0"
     "3The file '%s' was recreated while it was being removed.\0"
     "3The network path '%s' is not reachable.\n%s\0"
     "3Access to '%s' was denied.\n%s\0"
     "3The drive of '%s' is not ready.\n%s\0"
     "1A file path of %u characters was passed to the removal.\0"
     "3The file '%s' belongs to the running uninstaller and is left to the restart.\0"
     "3The file '%s' is write-protected on its medium.\0"
     "1The system-file check ran without the system directory.\0"
     "3The file '%s' could not be moved to '%s'.\n%s\0"
     "3The name '%s' is reserved by the system.\0"sv},
    // system-file prompt: codes 129-142
    {"PROMPT",
     "4The system-file prompt (dialog %u) could not be created.\n%s\0"
     "3The question text (string %u) is missing from the language file.\0"
     "1The prompt returned the unknown answer %d.\0"
     "1The prompt was shown without a page window.\0"
     "3The prompt's button texts could not be set.\0"
     "1The 'Yes to all' answer was forgotten after file '%s'.\0"
     "1The 'No to all' answer was forgotten after file '%s'.\0"
     "1The prompt was shown on thread %u instead of the removal worker.\0"
     "3The prompt could not be placed on the screen.\0"
     "3The prompt for '%s' was closed without an answer.\0"
     "1The prompt's text buffer of %u characters was too small.\0"
     "4The prompt's controls do not match dialog %u.\0"
     "3The prompt's fonts could not be applied.\0"
     "1The prompt was asked twice for '%s'.\0"sv},
    // directory pruning: codes 143-154
    {"PRUNE",
     "3The directory '%s' could not be removed.\n%s\0"
     "3The directory '%s' is not empty and was kept.\0"
     "3The directory '%s' is in use and will be removed at the next restart.\0"
     "1Pruning climbed above the drive root from '%s'.\0"
     "3The directory '%s' could not be searched.\n%s\0"
     "1The directory '%s' was pruned twice.\0"
     "3The directory '%s' holds hidden files and was kept.\0"
     "1Pruning started from a file name without a directory: '%s'.\0"
     "3The parent of '%s' could not be formed.\0"
     "3The directory '%s' is the installation's parent and was kept.\0"
     "3The directory '%s' is shared by other programs and was kept.\0"
     "1The pruning buffer of %u characters was too small.\0"sv},
    // deletion at restart: codes 155-172
    {"REBOOT",
     "2The session manager key could not be opened.\n%s\0"
     "3Corrupted NT session manager.\0"
     "2The restart list could not be read.\n%s\0"
     "2The restart list could not be written.\n%s\0"
     "3'%s' is already on the restart list.\0"
     "3'%s' could not be put on the restart list.\n%s\0"
     "3'%s' could not be taken off the restart list.\n%s\0"
     "1The restart list entry for '%s' has no terminator.\0"
     "2The restart list grew beyond %u bytes.\0"
     "1A restart list entry was written without the \\??\\ prefix: '%s'.\0"
     "3MoveFileEx refused to schedule '%s'.\n%s\0"
     "1The restart list was changed on the 9x family.\0"
     "3The directory '%s' was scheduled before its files.\0"
     "2Not enough memory to rewrite the restart list.\0"
     "3The restart list names '%s' twice.\0"
     "1The restart list was read with the wrong value type %u.\0"
     "3'%s' is scheduled for a rename, not a deletion.\0"
     "3The uninstaller's own file '%s' could not be scheduled.\n%s\0"sv},
    // 9x restart list: codes 173-186
    {"WININIT",
     "2WININIT.INI could not be opened.\n%s\0"
     "2WININIT.INI could not be written.\n%s\0"
     "3WININIT.INI has no [rename] section; one was added.\0"
     "3'%s' is already in WININIT.INI.\0"
     "3The short name of '%s' could not be read for WININIT.INI.\n%s\0"
     "2WININIT.INI is larger than %u bytes.\0"
     "1WININIT.INI was changed on the NT family.\0"
     "3The WININIT.INI line '%s' is malformed.\0"
     "3WININIT.INI is read-only.\n%s\0"
     "1A WININIT.INI line was written without NUL=: '%s'.\0"
     "3The directory '%s' cannot be removed through WININIT.INI.\0"
     "2The Windows directory could not be read for WININIT.INI.\n%s\0"
     "3WININIT.INI has a second [rename] section.\0"
     "1The restart flag was not set after WININIT.INI changed.\0"sv},
    // shared DLL counts: codes 187-200
    {"SHARED",
     "2The SharedDLLs key could not be opened.\n%s\0"
     "3'%s' has no SharedDLLs count.\0"
     "3The SharedDLLs count of '%s' could not be read.\n%s\0"
     "3The SharedDLLs count of '%s' could not be written.\n%s\0"
     "3The SharedDLLs count of '%s' could not be removed.\n%s\0"
     "3The SharedDLLs count of '%s' has the wrong type %u.\0"
     "3The SharedDLLs count of '%s' was already 0.\0"
     "1The SharedDLLs count of '%s' was lowered twice.\0"
     "3The SharedDLLs count of '%s' is negative (%d).\0"
     "3'%s' is counted under another spelling in SharedDLLs.\0"
     "1A SharedDLLs name of %u characters was passed.\0"
     "3The system file '%s' is still used %u times.\0"
     "3The SharedDLLs key is read-only.\n%s\0"
     "1The SharedDLLs count was lowered for a file outside the system directory: '%s'.\0"sv},
    // INI entry removal: codes 201-218
    {"INI",
     "3The INI file '%s' could not be opened.\n%s\0"
     "3The INI file '%s' could not be rewritten.\n%s\0"
     "3The section [%s] is missing from '%s'.\0"
     "3The entry '%s' is missing from its section.\0"
     "3The entry '%s' has another value than the log records.\0"
     "2The INI file '%s' is larger than %u bytes.\0"
     "3The INI file '%s' is read-only.\n%s\0"
     "3The temporary copy of '%s' could not be created.\n%s\0"
     "3The temporary copy of '%s' could not replace the original.\n%s\0"
     "1The INI rewrite lost lines of '%s'.\0"
     "1The restart flag was not set after '%s' changed on the 9x family.\0"
     "3The INI line '%s' is longer than %u characters.\0"
     "3The section name '%s' is empty.\0"
     "3The entry name in '%s' is empty.\0"
     "1The INI entry '%s' was removed twice.\0"
     "3system.ini could not be found at '%s'.\0"
     "3The INI file '%s' is in use.\n%s\0"
     "1The INI value buffer of %u characters was too small.\0"sv},
    // registry paths: codes 219-232
    {"REGPATH",
     "3The registry path '%s' names no root key.\0"
     "3The root key '%s' is not known.\0"
     "3The registry path '%s' is longer than %u characters.\0"
     "3The registry path '%s' has an empty key name.\0"
     "3The registry path '%s' names no value.\0"
     "1The registry path '%s' was split twice.\0"
     "3The registry path '%s' has a trailing backslash.\0"
     "3The registry path '%s' contains an empty component.\0"
     "1A registry path buffer of %u characters was too small.\0"
     "3The value name '%s' is longer than %u characters.\0"
     "3The key name '%s' is longer than %u characters.\0"
     "3The registry path '%s' uses (default) for a key.\0"
     "1The registry path was read before it was set.\0"
     "3The registry path '%s' names a root key alone.\0"sv},
    // registry values: codes 233-250
    {"REGVAL",
     "3The key '%s' could not be opened.\n%s\0"
     "3The value '%s' could not be read.\n%s\0"
     "3The value '%s' could not be written.\n%s\0"
     "3The value '%s' could not be deleted.\n%s\0"
     "3The value '%s' does not exist.\0"
     "3The value '%s' has the type %u, not the expected one.\0"
     "3The value '%s' is larger than %u bytes.\0"
     "3The key '%s' could not be created.\n%s\0"
     "3Access to the value '%s' was denied.\n%s\0"
     "1A value was read into a buffer of %u bytes.\0"
     "3The string value '%s' has no terminator.\0"
     "3The value '%s' is still present after its deletion.\0"
     "3The DWORD value '%s' has %u bytes.\0"
     "1The registry access instance was used after destruction.\0"
     "3The remote registry of '%s' is not reachable.\n%s\0"
     "3The value '%s' is held open by another program.\0"
     "2The registry is full.\n%s\0"
     "3The default value of '%s' could not be deleted.\n%s\0"sv},
    // registry key removal: codes 251-266
    {"REGKEY",
     "3The key '%s' could not be deleted.\n%s\0"
     "3The key '%s' has subkeys and was kept.\0"
     "3The key '%s' has values and was kept.\0"
     "3The key '%s' could not be enumerated.\n%s\0"
     "2SHDeleteKeyA could not be found in SHLWAPI.DLL.\n%s\0"
     "3The subtree of '%s' could not be deleted.\n%s\0"
     "1Pruning climbed above the root key from '%s'.\0"
     "3The key '%s' is one of the system's own keys and was kept.\0"
     "3The parent of the key '%s' could not be opened.\n%s\0"
     "3The Uninstall entry '%s' could not be removed.\n%s\0"
     "3The UninstallString of '%s' still exists.\0"
     "3The DisplayName of '%s' could not be deleted.\n%s\0"
     "1The key '%s' was pruned twice.\0"
     "3Access to the key '%s' was denied.\n%s\0"
     "1A key path of %u characters was passed to the removal.\0"
     "3The key '%s' is in use by another program.\0"sv},
    // COM servers: codes 267-280
    {"COM",
     "3The COM server '%s' could not be loaded.\n%s\0"
     "3The COM server '%s' has no DllUnregisterServer export.\0"
     "3DllUnregisterServer of '%s' failed with %x.\0"
     "3The COM server '%s' could not be freed.\n%s\0"
     "3The COM server '%s' depends on a missing DLL.\n%s\0"
     "3The COM server '%s' is not a DLL.\0"
     "3The COM server '%s' is for another processor.\0"
     "1The COM server '%s' was unregistered twice.\0"
     "3The COM server '%s' is in use and will be deleted at the next restart.\0"
     "3DllUnregisterServer of '%s' did not return.\0"
     "3The COM server '%s' registered classes under another path.\0"
     "1COM was not initialised on the removal worker.\0"
     "3The COM server '%s' refused to unload.\0"
     "3The COM server '%s' left its registration behind.\0"sv},
    // font removal: codes 281-292
    {"FONTS",
     "3The font resource '%s' could not be removed.\n%s\0"
     "3The font file '%s' could not be deleted.\n%s\0"
     "3The font '%s' is not installed.\0"
     "3The font change could not be announced to the other programs.\n%s\0"
     "3The font '%s' is in use and will be deleted at the next restart.\0"
     "3The font registration of '%s' could not be removed.\n%s\0"
     "3The font file '%s' is not a font.\0"
     "1The font '%s' was removed twice.\0"
     "3The Fonts directory could not be read.\n%s\0"
     "3The font '%s' is one of the system's own fonts and was kept.\0"
     "3The font change announcement timed out after %u ms.\0"
     "1The font record '%s' has no file name.\0"sv},
    // programs to run: codes 293-310
    {"RUN",
     "3The program '%s' could not be started.\n%s\0"
     "3The working directory '%s' does not exist.\0"
     "3The program '%s' ended with exit code %u.\0"
     "3The program '%s' could not be waited for.\n%s\0"
     "3The program file of '%s' could not be found.\0"
     "3The command line '%s' is longer than %u characters.\0"
     "3The program '%s' is still running after the wait.\0"
     "3The exit code of '%s' could not be read.\n%s\0"
     "1The program '%s' was started twice.\0"
     "3The program '%s' needs elevation to run.\0"
     "3The program '%s' is for another processor.\0"
     "3The working directory of '%s' could not be formed.\0"
     "3The program '%s' failed to initialise (%x).\0"
     "1A program handle was kept open for '%s'.\0"
     "3The directory choice line '%s' is not understood.\0"
     "3The program '%s' is a document, not a program.\0"
     "3The program '%s' was cancelled by the user.\0"
     "3The program '%s' closed the uninstaller's window.\0"sv},
    // language file: codes 311-328
    {"LANGFILE",
     "4The language file '%s' could not be opened.\n%s\0"
     "4The language file '%s' is not UTF-16 text.\0"
     "4The language file '%s' has no byte-order mark.\0"
     "4The language file '%s' is empty.\0"
     "2The language file '%s' is larger than %u bytes.\0"
     "4The language file '%s' has no section for '%s'.\0"
     "4The language file '%s' has no [general] section.\0"
     "4The section [%s] has no name= entry.\0"
     "4Line %u of the language file is not an entry, section or comment.\0"
     "4The section [%s] appears twice in the language file.\0"
     "4The entry str%u appears twice in one section.\0"
     "2Not enough memory for the language file '%s'.\0"
     "4The language file '%s' ends inside a line.\0"
     "4The language file '%s' uses big-endian byte order.\0"
     "1The language document was read before it was loaded.\0"
     "4The default language '%s' has no section.\0"
     "4The language file '%s' could not be read.\n%s\0"
     "1The supplementary language file was loaded twice.\0"sv},
    // language selection: codes 329-342
    {"LANGSEL",
     "4No language section could be chosen.\0"
     "3The language choice was cancelled.\0"
     "4The language choice dialog could not be created.\n%s\0"
     "4The language '%s' has no display name.\0"
     "1The language list holds more than %u languages.\0"
     "4The language '%s' named by the installation log is not in the language file.\0"
     "3The language choice returned the unknown answer %d.\0"
     "1The language was selected twice.\0"
     "4The default language '%s' is not in the language file.\0"
     "4Every language section of the language file is empty.\0"
     "1The language choice was shown without a language file.\0"
     "4The language choice list could not be filled.\0"
     "3The language choice could not be placed on the screen.\0"
     "1The selected language index %u is out of range.\0"sv},
    // string lookup: codes 343-356
    {"STRINGS",
     "4The string str%u is missing from the language file.\0"
     "4The string str%u is longer than %u characters.\0"
     "4The string str%u has an unknown macro %%%c.\0"
     "4The string str%u ends with a lone percent sign.\0"
     "1A string buffer of %u characters was too small.\0"
     "4The string str%u expands to more than %u characters.\0"
     "4The product title is empty; %%p in str%u expands to nothing.\0"
     "4The installation drive is unknown; %%d in str%u expands to nothing.\0"
     "1A string was looked up before a language was selected.\0"
     "4The string str%u has an unfinished line-break escape.\0"
     "4The string str%u contains a semicolon and was cut.\0"
     "1The string id %u is outside the program's range.\0"
     "4The string str%u is empty.\0"
     "1The not-found marker was shown for str%u.\0"sv},
    // dialog texts: codes 357-368
    {"DLGTEXT",
     "4The dialog %u has no control %u.\0"
     "4The text table of dialog %u names an unknown string.\0"
     "3The font of control %u could not be set.\0"
     "1A text table was applied to a destroyed dialog.\0"
     "4The caption of dialog %u is missing from the language file.\0"
     "3The text of control %u could not be set.\n%s\0"
     "1The text table of dialog %u was applied twice.\0"
     "4The dialog %u uses another window class than MOXUNINST.\0"
     "3The dialog %u could not be placed on the screen.\0"
     "1A text table has %u entries, more than the dialog's controls.\0"
     "4The dialog %u's texts do not fit its controls.\0"
     "1Dialog texts were applied on thread %u, not the dialog's.\0"sv},
    // wizard window: codes 369-388
    {"WIZARD",
     "2The wizard could not be created.\n%s\0"
     "4The wizard page (dialog %u) could not be created.\n%s\0"
     "4The progress bar is missing from the wizard page.\0"
     "3The wizard heading (string %u) could not be set.\0"
     "3The wizard description (string %u) could not be set.\0"
     "3The progress text (string %u) could not be set.\0"
     "1Cancel was accepted while the removal worker ran.\0"
     "1The wizard closed before the removal worker finished.\0"
     "1Finish was pressed before it was enabled.\0"
     "3The wizard could not be placed on the screen.\0"
     "2The progress bar range of %u lines could not be set.\0"
     "1The wizard page was initialised twice.\0"
     "3The wizard's caption could not be set to '%s'.\0"
     "1The wizard's message loop ended with %d.\0"
     "2The wizard's window class could not be registered.\n%s\0"
     "3The Finish button text (string %u) could not be set.\0"
     "1The sheet window was used after it closed.\0"
     "3The wizard lost its icon resource %u.\0"
     "1The removal worker was started before the page existed.\0"
     "3The success line (string %u) could not be shown.\0"sv},
    // crash handler: codes 389-404
    {"CRASH",
     "1The unhandled-exception filter could not be installed.\0"
     "1The crash report could not be written to '%s'.\n%s\0"
     "1The crash report could not be put on the clipboard.\n%s\0"
     "1The crash report box could not be shown.\n%s\0"
     "1The crash report overflowed its %u-byte buffer.\0"
     "1A second crash happened while the first was reported.\0"
     "1The previous exception filter could not be restored.\0"
     "1The crash report routine is not valid code.\0"
     "1The exception record at %x could not be read.\0"
     "1The exception code %x has no name.\0"
     "1The faulting module could not be named.\0"
     "1The register dump could not be formed.\0"
     "1The crash handler was installed twice.\0"
     "1The crash report ran on thread %u while the main thread waited.\0"
     "1lastcrash.txt is read-only.\n%s\0"
     "1The current directory could not be written to.\n%s\0"sv},
    // stack trace and module lookup: codes 405-420
    {"STACK",
     "3Neither DBGHELP.DLL nor IMAGEHLP.DLL could be loaded.\0"
     "3The debug help library lacks the function %s.\0"
     "3The symbol engine could not be initialised.\n%s\0"
     "3The symbols of '%s' could not be loaded.\n%s\0"
     "3The modules of process %u could not be enumerated.\n%s\0"
     "3PSAPI.DLL could not be loaded.\n%s\0"
     "3The toolhelp functions are missing from KERNEL32.DLL.\0"
     "3The module snapshot of process %u could not be taken.\n%s\0"
     "3The module list of process %u holds more than %u modules.\0"
     "3The base name of module %x could not be read.\n%s\0"
     "3The stack walk stopped at %x.\0"
     "3The thread context could not be read.\n%s\0"
     "3The stack trace was cut at %u characters.\0"
     "3SymGetLineFromAddr64 is not available; source lines are left out.\0"
     "3The symbol file '%s' does not match its module.\0"
     "3The symbol engine could not be cleaned up.\n%s\0"sv},
    // error reports and diagnostic log: codes 421-443
    {"REPORT",
     "3TEMP is not defined; the diagnostic log goes to '%s'.\0"
     "3The temporary directory '%s' could not be created.\n%s\0"
     "3The temporary directory '%s' is longer than %u characters.\0"
     "3The diagnostic log '%s' could not be opened.\n%s\0"
     "3The diagnostic log '%s' could not be written.\n%s\0"
     "3The date could not be formatted.\n%s\0"
     "3The time could not be formatted.\n%s\0"
     "1Error code %u is not one of this program's error codes.\0"
     "1The error message of code %u has no severity.\0"
     "1A report was raised while another was being relayed.\0"
     "1The relay timer could not be started.\n%s\0"
     "1The relay timer could not be stopped.\0"
     "1A report from thread %u waits for the main thread.\0"
     "1The report of thread %u was lost: another report was waiting.\0"
     "1The message queue could not be purged.\0"
     "1The error box could not be shown.\n%s\0"
     "1A report was raised during the final steps of the exit.\0"
     "1The report's text was cut at %u characters.\0"
     "1The system has no text for error %u.\0"
     "1The report arguments of kind %u do not match.\0"
     "3The program ended with exit code %d.\0"
     "1The report facility was used before it was started.\0"
     "3The program was ended on request.\0"sv},
};

constexpr std::size_t CountEntries() {
  std::size_t count = 1;  // code 0
  for (const ErrorModule& module : kErrorModules) {
    for (char c : module.entries) count += c == '\0' ? 1 : 0;
  }
  return count;
}
static_assert(CountEntries() == kErrorCount);

}  // namespace

bool ErrorEntry(ErrorCode code, ErrorEntryText& entry) {
  entry.Clear();
  if (code == 0) return entry.Assign("3");
  ErrorCode next = 1;
  for (const ErrorModule& module : kErrorModules) {
    std::size_t start = 0;
    while (start < module.entries.size()) {
      const std::size_t end = module.entries.find('\0', start);
      if (next++ == code) {
        const std::string_view text = module.entries.substr(start, end - start);
        return entry.Assign(text.substr(0, 1)) && entry.Append(module.tag) && entry.Append(": ") &&
               entry.Append(text.substr(1));
      }
      start = end + 1;
    }
  }
  return false;
}
