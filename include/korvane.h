/* korvane.h -- interface of the Korvane setup description library

  Korvane reads and writes a setup description: what an installation does (files to copy,
  registry values to write, processes to stop, commands to run, reserved words that stand for
  machine-dependent text in paths, free-form configuration fields).

  The library keeps exactly one setup description per process. It is created empty when the
  library is loaded and destroyed when it is unloaded. There are no handles: every function
  acts on that one description.

  Conventions that hold for every function below:

  - Texts are zero-terminated 8-bit strings in the system code page: the ANSI code page on
    Windows, the code set of the user's locale (LC_ALL, LC_CTYPE, LANG) elsewhere, where the
    C and POSIX locales count as UTF-8.
  - A null input text counts as the empty text. A null output pointer is not written.
  - Output buffers belong to the caller. Each function states the smallest buffer it needs;
    nothing is ever written past that size. A text longer than the field it is stored in is
    cut at the last whole character that fits (never inside a double-byte or UTF-8 character).
  - Results are signed 32-bit integers; each function states its results.
  - No function prints anything, throws, or reads any configuration of its own.
  - A call during which memory runs out gives its answer for a failure: 0 (and the empty text
    for the paths of the running system); the functions that add entries return their count,
    unchanged; GetElementField hands out the empty text and SetupPathToRealPath the path
    unexpanded, both returning 1. A load or save leaves the description and the file as they
    were.
  - Every function holds one library-wide lock while it runs: a call from another thread
    waits until the current call has returned, so calls from several threads (queries too:
    GetElementField can add an entry) act on the description one at a time, never at once.
*/
#ifndef KORVANE_H
#define KORVANE_H

#include <stdint.h>

/* Version of the library this header belongs to. */
#define KORVANE_VERSION "0.1.0"
#define KORVANE_VERSION_MAJOR 0
#define KORVANE_VERSION_MINOR 1
#define KORVANE_VERSION_PATCH 0

/* Calling convention of every function: __stdcall on 32-bit Windows, the default elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define KORVANE_CALL __stdcall
#else
#define KORVANE_CALL
#endif

/* What precedes every declaration. A program may define it before including this header (to
   __declspec(dllimport), for instance); the library's own build defines KORVANE_BUILDING. */
#ifndef KORVANE_API
#if defined(KORVANE_BUILDING) && defined(__GNUC__) && !defined(_WIN32)
#define KORVANE_API __attribute__((visibility("default")))
#else
#define KORVANE_API
#endif
#endif

/* Buffer sizes in bytes, terminator included. Each is the width of a stored field, the size
   the matching getter writes at most, and the longest text (plus terminator) that a setter
   keeps whole.
     KORVANE_PATH_SIZE               srcPath, fileName and folder of a file
     KORVANE_VERSION_TEXT_SIZE       version of a file; GetTargetFileVersion
     KORVANE_TARGET_OS_SIZE          targetOs of a file
     KORVANE_SHORTCUT_SIZE           shortcut of a file
     KORVANE_DISPLAY_NAME_SIZE       displayName of a file
     KORVANE_TEXT_SIZE               registry path, key and value; class and title of a
                                     process; meaning and expansion of a reserved word;
                                     SetupPathToRealPath
     KORVANE_FOLDER_SIZE             GetSpcialDirectoryInCurrentSystem
     KORVANE_TEMP_INSTALL_PATH_SIZE  GetTempInstallPath */
#define KORVANE_PATH_SIZE 260
#define KORVANE_VERSION_TEXT_SIZE 128
#define KORVANE_TARGET_OS_SIZE 20
#define KORVANE_SHORTCUT_SIZE 10
#define KORVANE_DISPLAY_NAME_SIZE 130
#define KORVANE_TEXT_SIZE 1024
#define KORVANE_FOLDER_SIZE 261
#define KORVANE_TEMP_INSTALL_PATH_SIZE 273

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------------------------
   The whole description
*/

/* Empties the description: every file, registry value, process, command, reserved word and
   configuration field is removed. Returns 1. */
KORVANE_API int32_t KORVANE_CALL ClearInMemory(void);

/* ------------------------------------------------------------------------------------------
   Setup files

   A setup file is an XML document declared as "euc-kr", rooted at SETUP, with ten sections
   in this order: RESERVE, CONFIG, FILES, REGISTRYS, PREKILLS, UPKILLS, PREEXECUTE,
   POSTEXECUTE, UPDATEEXECUTE, DELETEEXECUTE. Reserved words are saved with their meaning
   only: their expansion is never written, and reads back empty.
*/

/* Replaces the whole description with the contents of the setup file at `path`. Files are
   read without network access, without external entities or DTDs, and with bounded entity
   expansion. Reading is lenient: the root may have any name, sections may come in any order
   (the first of each name counts, missing ones stay empty), values are found by name within
   their item and a missing one reads as the empty text or 0; a flag is set only by the text
   "1". Texts longer than the reader keeps are cut at the last whole character: SHORT and
   CLASS at 255 bytes, configuration values at 1023, commands at 2047, record fields at their
   widths. For a repeated reserved word or configuration name the first one wins; names are
   compared in the code page, where each character it lacks reads as '?', as through every
   getter. The load keeps the file's own text of every text and name holding such characters
   (cut where the code-page text is cut), and SaveSetupFile writes that text back, so a load
   and a save lose no character. A text of nothing but blanks (space, tab, CR, LF) is layout,
   and left out, when the element holding it also holds an element; every other text is part
   of the value, so blanks beside a line end, a comment or a CDATA section are kept
   (<V>\n <!--c-->\n</V> reads "\n \n").
   Returns 1 when the file was read whole. Returns 0, leaving the description exactly as it
   was, when `path` is null, the file cannot be read, it is not well-formed XML (a NUL byte
   anywhere included), it expands beyond what can be read, or it exceeds the bounds that keep
   loading fast: at most 256 attributes on one element (and 256 declared attribute defaults),
   at most 10,000 distinct element names, at most 8,000,000 bytes (counted as UTF-8, as the
   file writes them: "&amp;" is five) in one text, CDATA section, comment, processing
   instruction or attribute value. A file declared in an encoding whose markup cannot be
   checked byte by byte (a stateful or EBCDIC-based one) is refused as well. A byte-order
   mark decides the encoding over the declaration; otherwise the declared name does, through
   one table of names shared by every build: "euc-kr" and "ks_c_5601-1987" read as code page
   949, "shift_jis" as 932 (5C is "\", 7E is "~"), "gb2312" as 936, "big5" as 950. Bytes that
   either build's converter refuses (949's byte 80, 936's user-defined areas, for two) are
   refused on every build, and so is UTF-16 that ends inside a character; 949's user-defined
   rows, which earlier versions wrote raw, read on every build as Windows reads them (C9A1-C9FE
   as U+E000-U+E05D, FEA1-FEFE as U+E05E-U+E0BB). On Windows,
   where the platform's XML component does the parsing and its entity expansion cannot be
   bounded by the library, a file with a document type declaration (<!DOCTYPE ...>) is refused
   too; elsewhere such a file loads, its internal entities expanded within bounds. On POSIX
   systems, when a save that wrote the file in place was ended before it finished, the content
   the file had before that save (its journal, see SaveSetupFile) is read instead; a load never
   writes a file. */
KORVANE_API int32_t KORVANE_CALL LoadSetupFile(const char* path);

/* Writes the whole description to `path` as a setup file, pretty-printed. The save uses two
   files in the current directory: the stylesheet "indent.xsl", which it reads to indent the
   file (the one shipped with Korvane is data/indent.xsl), and a scratch file of its own,
   "temp-XXXXXXXX.xml" under a name no other save has, which it removes before it returns (a
   file named "temp.xml" is left alone). `path` is a plain file name ("%", "?", "#" are
   ordinary characters). The file at `path` is replaced only once the new one is complete, so
   on failure it is left as it was; a symbolic link there is followed, and the file keeps its
   owner, group, mode and hard links. On POSIX systems a process ended during the save leaves
   the file with its old or its new content: where the file is written in place (several hard
   links, or an owner a new file cannot have), its old content is first kept in a journal
   beside it (".korvane-journal-..."), which the next load reads and the next save puts back
   and removes if the save was ended; in a folder the caller cannot write, that copy goes to
   $TMPDIR and a save ended there can leave the file half written. A save ended while replacing
   the file by rename can leave its temporary file (".korvane-XXXXXXXX"; "kv*.tmp" on Windows)
   beside it. A character is written raw only where EUC-KR proper and code page 949 read its
   bytes alike; every other one (949's extension and user-defined characters among them) is
   written as a character reference, and so is every carriage return in a text (&#13;), so
   that a load reads it back as itself rather than as a line feed. Returns 1 on success; 0 when
   `path` is null, a configuration name is not a valid XML element name (or cannot be written
   in "euc-kr"), a text holds a control character that XML cannot carry (other than tab, line
   feed and carriage return), the scratch file cannot be written, `path` is "indent.xsl"
   itself (by any name or link), "indent.xsl" is missing, not a stylesheet, reads or writes
   other files (on Windows this is judged from its text: any call of document() or of an
   extension function, an extension element or script, or an import by more than a relative
   path, also in a stylesheet it imports) or does not produce an XML document with one root
   element, a text would take more than the 8,000,000 bytes that a load reads (see
   LoadSetupFile), or `path` cannot be written, is not a regular file or is a loop of links.
   The description is never changed. */
KORVANE_API int32_t KORVANE_CALL SaveSetupFile(const char* path);

/* ------------------------------------------------------------------------------------------
   Adding entries

   Every function here adds at most one entry and returns the number of entries in the table
   it writes, counted after the call. Nothing is replaced or removed: list entries are
   appended (the new entry is at index result - 1), keyed entries are added only when their
   key is new. No value is checked: empty texts, negative numbers and flags other than 0 and 1
   are stored as given.

   Fixed fields hold at most the number of bytes given for them, terminator included; longer
   texts are cut as described at the top of this file.
*/

/* Adds a configuration field named `name` with the text `text` (both of any length). A name
   already present keeps its first text; the call then changes nothing. Names are compared
   byte for byte, case-sensitively. A name that cannot be an XML element name is stored too,
   but a description holding one cannot be saved. Returns the number of configuration
   fields. */
KORVANE_API int32_t KORVANE_CALL SetElementField(const char* name, const char* text);

/* Appends a file to install. Field sizes in bytes, terminator included:
     srcPath      KORVANE_PATH_SIZE          (260)  source path of the file
     fileName     KORVANE_PATH_SIZE          (260)  file name
     folder       KORVANE_PATH_SIZE          (260)  target folder
     version      KORVANE_VERSION_TEXT_SIZE  (128)  version text
     targetOs     KORVANE_TARGET_OS_SIZE      (20)  target operating system
     shortcut     KORVANE_SHORTCUT_SIZE       (10)  shortcut text
     displayName  KORVANE_DISPLAY_NAME_SIZE  (130)  display name
   iconIndex, overwrite and fileSize are stored as given; selfReg, realTime and reboot are
   flags, where any non-zero value means set. Returns the number of files. */
KORVANE_API int32_t KORVANE_CALL SetFileInfo(const char* srcPath, const char* fileName,
                                             const char* folder, const char* version,
                                             const char* targetOs, const char* shortcut,
                                             const char* displayName, int32_t iconIndex,
                                             int32_t selfReg, int32_t overwrite, int32_t fileSize,
                                             int32_t realTime, int32_t reboot);

/* Appends a registry value to write. regPath, key and value hold KORVANE_TEXT_SIZE (1024)
   bytes each. The value type `type` is kept as its decimal text and handed back unchanged by
   GetRegistryInfo. Returns the number of registry values. */
KORVANE_API int32_t KORVANE_CALL SetRegistryInfo(const char* regPath, const char* key, int32_t type,
                                                 const char* value, int32_t action);

/* Appends a process to stop before installing (SetPreKillProcess) or before updating
   (SetUpKillProcess), named by its window class and window title, KORVANE_TEXT_SIZE (1024)
   bytes each. Returns the number of processes in that list. */
KORVANE_API int32_t KORVANE_CALL SetPreKillProcess(const char* className, const char* title);
KORVANE_API int32_t KORVANE_CALL SetUpKillProcess(const char* className, const char* title);

/* Appends a command (of any length, the empty command included) to run before installing,
   after installing, on update or on removal. Returns the number of commands in that list. */
KORVANE_API int32_t KORVANE_CALL SetPreExecute(const char* command);
KORVANE_API int32_t KORVANE_CALL SetPostExecute(const char* command);
KORVANE_API int32_t KORVANE_CALL SetUpdateExecute(const char* command);
KORVANE_API int32_t KORVANE_CALL SetDeleteExecute(const char* command);

/* ------------------------------------------------------------------------------------------
   Counting and reading entries

   Positions are 0-based. Lists keep the order in which entries were added or loaded. An
   indexed getter given a position outside its table (negative, or not below the count)
   returns 0 and writes nothing; otherwise it copies every field, terminator included, and
   returns 1.
*/

/* Number of entries in each table; 0 for an empty one. */
KORVANE_API int32_t KORVANE_CALL GetFileCount(void);
KORVANE_API int32_t KORVANE_CALL GetRegistryCount(void);
KORVANE_API int32_t KORVANE_CALL GetReservedWordCount(void);
KORVANE_API int32_t KORVANE_CALL GetPreKillProcessCount(void);
KORVANE_API int32_t KORVANE_CALL GetUpKillProcessCount(void);
KORVANE_API int32_t KORVANE_CALL GetPreExecuteCount(void);
KORVANE_API int32_t KORVANE_CALL GetPostExecuteCount(void);
KORVANE_API int32_t KORVANE_CALL GetUpdateExecuteCount(void);
KORVANE_API int32_t KORVANE_CALL GetDeleteExecuteCount(void);

/* Reads the file at `index`, in exactly the parameter order of SetFileInfo. Buffers: srcPath,
   fileName and folder KORVANE_PATH_SIZE (260) bytes, version KORVANE_VERSION_TEXT_SIZE (128),
   targetOs KORVANE_TARGET_OS_SIZE (20), shortcut KORVANE_SHORTCUT_SIZE (10), displayName
   KORVANE_DISPLAY_NAME_SIZE (130). The numbers and flags are handed out as stored (a flag
   stored as 5 reads as 5). Returns 1, or 0 for a position outside the table. */
KORVANE_API int32_t KORVANE_CALL GetFileInfo(int32_t index, char* srcPath, char* fileName,
                                             char* folder, char* version, char* targetOs,
                                             char* shortcut, char* displayName, int32_t* iconIndex,
                                             int32_t* selfReg, int32_t* overwrite,
                                             int32_t* fileSize, int32_t* realTime, int32_t* reboot);

/* Reads the registry value at `index`. regPath, key and value need KORVANE_TEXT_SIZE (1024)
   bytes each. `type` receives the stored type text read as C's atoi reads it (leading blanks
   skipped, an optional sign, digits up to the first other character, 0 when there are none;
   clamped to the 32-bit range). Returns 1, or 0 for a position outside the table. */
KORVANE_API int32_t KORVANE_CALL GetRegistryInfo(int32_t index, char* regPath, char* key,
                                                 int32_t* type, char* value, int32_t* action);

/* Reads the process to stop at `index`: className and title need KORVANE_TEXT_SIZE (1024) bytes
   each. Returns 1, or 0 for a position outside the list. */
KORVANE_API int32_t KORVANE_CALL GetPreKillProcess(int32_t index, char* className, char* title);
KORVANE_API int32_t KORVANE_CALL GetUpKillProcess(int32_t index, char* className, char* title);

/* Reads the command at `index`. Commands have no fixed length: `command` must hold the stored
   command and its terminator. Returns 1, or 0 for a position outside the list. */
KORVANE_API int32_t KORVANE_CALL GetPreExecute(int32_t index, char* command);
KORVANE_API int32_t KORVANE_CALL GetPostExecute(int32_t index, char* command);
KORVANE_API int32_t KORVANE_CALL GetUpdateExecute(int32_t index, char* command);
KORVANE_API int32_t KORVANE_CALL GetDeleteExecute(int32_t index, char* command);

/* Reads the configuration field `name` into `value`, which must hold the field's text and its
   terminator. A name that is present hands out its stored text, whatever the name (one given
   to SetElementField, or read from a file). A name not yet present is added with an empty text
   (it is then counted by the next SetElementField, keeps its empty text against a later
   SetElementField, and is saved) and the empty text is handed out; but a name that a save
   could not write is not added, so that it cannot make every later SaveSetupFile fail: one that
   is not an XML element name (the empty name, one that starts with a digit, one that holds a
   blank or a colon, ...) or that "euc-kr" cannot write. Returns 1. */
KORVANE_API int32_t KORVANE_CALL GetElementField(const char* name, char* value);

/* ------------------------------------------------------------------------------------------
   Reserved words

   A reserved word stands for text that is known only on the target machine. Each word has a
   meaning (a description, saved with the setup file) and an expansion (the real text on this
   machine, given at run time and never saved).

   Because a file never holds an expansion, every word that LoadSetupFile reads gets its
   meaning and the empty expansion, and SetupPathToRealPath removes it from a path. Nothing
   replaces a word's entry, so SetReservedWord cannot give a loaded word its expansion. An
   installer reads what it needs while the loaded description holds it (the words and
   meanings with GetReservedWord, the files, ...), calls ClearInMemory, then SetReservedWord
   with each word's meaning and expansion, and then expands its paths.
*/

/* Adds the reserved word `word` (any length) with `meaning` and `expansion`, KORVANE_TEXT_SIZE
   (1024) bytes each. A word already present keeps its first meaning and expansion; the call
   then changes nothing, also for a word loaded from a file, whose expansion stays empty (see
   above). Returns the number of reserved words. */
KORVANE_API int32_t KORVANE_CALL SetReservedWord(const char* word, const char* meaning,
                                                 const char* expansion);

/* Reads the reserved word at `index`. Words are ordered by their bytes compared as unsigned
   values, a word before every longer word it begins (so "A" < "AB" < "B" < "a" < any byte from
   0x80). `word` must hold the word and its terminator; `meaning` needs KORVANE_TEXT_SIZE (1024)
   bytes. Returns 1, or 0 for a position outside the table (then neither buffer is written). */
KORVANE_API int32_t KORVANE_CALL GetReservedWord(int32_t index, char* word, char* meaning);

/* Writes into `realPath` (KORVANE_TEXT_SIZE, 1024 bytes) the text of `setupPath` with every
   reserved word replaced by its expansion. Words are applied one after the other in the order
   of GetReservedWord, each once over the whole text the words before it produced; occurrences
   are found left to right, never inside a character, and never overlap. Words that were loaded
   from a setup file have an empty expansion and are removed (see above for giving them one).
   The empty word is skipped. The text is cut to 1023 bytes, at a whole character, before the
   first word and after each word. `realPath` may be the same buffer as `setupPath`.
   Returns 1. */
KORVANE_API int32_t KORVANE_CALL SetupPathToRealPath(const char* setupPath, char* realPath);

/* ------------------------------------------------------------------------------------------
   The running system

   These functions ask the system afresh at every call and do not touch the setup description.
   Folder paths end in a backslash. Systems other than Windows have none of the Windows
   folders: there every folder path is empty, and the paths built under the Windows folder are
   the bare folder names described below.
*/

/* Writes into `path` the folder of kind `kind` followed by a backslash:
     0  the system folder          (C:\WINDOWS\system32\)
     1  the desktop                (C:\Users\Name\Desktop\)
     2  the Windows folder         (C:\WINDOWS\)
     3  the Start menu             (C:\Users\Name\AppData\Roaming\Microsoft\Windows\Start Menu\)
     4  the system drive           (C:\)
     5  the program files folder   (C:\Program Files\)
     6  application data           (C:\Users\Name\AppData\Roaming\)
   For kinds 1, 3 and 6 a non-zero `allUsers` picks the folder shared by all users instead of
   the current user's; the other kinds ignore it. When the shell does not know the folder, the
   system folder and the Windows folder come from the system instead, the system drive is the
   drive of the Windows folder, and the program files folder is "\Program Files" on that drive
   (none when the drive is unknown). A folder that is a drive root comes back with two
   backslashes (C:\\). A kind outside 0 to 6, or a folder the system does not have, gives the
   empty path: the caller judges success by a non-empty path.
   `path` needs KORVANE_FOLDER_SIZE (261) bytes; its first 260 bytes are cleared before the
   path is written. A null `path` is not written. Returns 0.
   "Spcial" is the interface's own spelling of the name, kept as it is: do not correct it. */
KORVANE_API int32_t KORVANE_CALL GetSpcialDirectoryInCurrentSystem(int32_t kind, int32_t allUsers,
                                                                   char* path);

/* Writes into `path` the temporary installation folder, INSTALLTEMP in the Windows folder:
   C:\WINDOWS\INSTALLTEMP\ on a typical system, INSTALLTEMP\ when the system has no Windows
   folder. The folder is not created. `path` needs KORVANE_TEMP_INSTALL_PATH_SIZE (273) bytes (a
   Windows folder of up to 259 characters, its backslash, INSTALLTEMP, one more backslash and
   the terminator); the length of the Windows folder plus 14 bytes is enough. Returns the length
   of the path (the terminator not counted), also when `path` is null and nothing is written, so
   a caller can learn the size it needs. */
KORVANE_API int32_t KORVANE_CALL GetTempInstallPath(char* path);

/* Writes into `path` the folder `name` in the Windows folder, followed by a backslash:
   C:\WINDOWS\Fonts\ for the name Fonts; the name followed by a backslash when the system has
   no Windows folder. A null or empty `name` gives the Windows folder followed by two
   backslashes. The name is not checked and the folder is not created. `path` needs the
   length of `name` plus 262 bytes (a Windows folder of up to 259 characters, two backslashes
   and the terminator). Returns the length of the path (the terminator not counted), also
   when `path` is null and nothing is written. */
KORVANE_API int32_t KORVANE_CALL GetProtectedFilePath(char* path, const char* name);

/* Writes into `version` the version text of the file `fileName`: the FileVersion string of its
   version resource, for the first entry of its translation table, with every space removed
   and every comma made a period (1, 0, 0, 1 becomes 1.0.0.1; 2.3.4 (build 7) becomes
   2.3.4(build7)), cut at a whole character to 127 bytes. A file without a usable version text
   gets the time-stamp form of its last write in UTC instead, T.YYYYMMDD.hhmmss.0 (always 19
   characters, T.20070305.140903.0 for 5 March 2007 at 14:09:03). Outside Windows the version
   resource is read from the file's PE32 or PE32+ image by the library itself, with its texts
   converted to the system code page.
   Results, and what `version` receives:
     1  the cleaned FileVersion, when it is not empty;
     1  the time-stamp form, when the file has no version resource (any file that is not a
        Windows executable or library, for instance);
     0  the time-stamp form, when the FileVersion is empty after cleaning or the translation
        table is empty; the empty text instead when the file cannot be opened;
     0  nothing, when the file is missing, cannot be opened or is a folder (and has no version
        resource), when its version resource cannot be read or has no translation table, or
        when it has no FileVersion for the first translation (even if a later one has).
   A last write before the year 1601 or after 9999 has no time-stamp form: the file then counts
   as one that cannot be opened. `version` needs KORVANE_VERSION_TEXT_SIZE (128) bytes. A null
   `fileName` names no file; a null `version` is not written. */
KORVANE_API int32_t KORVANE_CALL GetTargetFileVersion(const char* fileName, char* version);

#ifdef __cplusplus
}
#endif

#endif /* KORVANE_H */
