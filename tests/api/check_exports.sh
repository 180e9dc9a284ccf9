#!/bin/sh
# Fails unless the shared library given as $1 defines exactly the interface's names.
set -eu
library=$1
expected=$(cat <<'NAMES'
ClearInMemory
GetDeleteExecute
GetDeleteExecuteCount
GetElementField
GetFileCount
GetFileInfo
GetPostExecute
GetPostExecuteCount
GetPreExecute
GetPreExecuteCount
GetPreKillProcess
GetPreKillProcessCount
GetProtectedFilePath
GetRegistryCount
GetRegistryInfo
GetReservedWord
GetReservedWordCount
GetSpcialDirectoryInCurrentSystem
GetTargetFileVersion
GetTempInstallPath
GetUpKillProcess
GetUpKillProcessCount
GetUpdateExecute
GetUpdateExecuteCount
LoadSetupFile
SaveSetupFile
SetDeleteExecute
SetElementField
SetFileInfo
SetPostExecute
SetPreExecute
SetPreKillProcess
SetRegistryInfo
SetReservedWord
SetUpKillProcess
SetUpdateExecute
SetupPathToRealPath
NAMES
)
# Every defined dynamic symbol except the linker's own markers.
actual=$(nm -D --defined-only "$library" | awk '{print $NF}' |
         grep -v -x -E '_init|_fini|_edata|_end|__bss_start' | LC_ALL=C sort)
expected=$(printf '%s\n' "$expected" | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "exported names differ from the interface (< expected, > exported):"
    dir=$(mktemp -d)
    printf '%s\n' "$expected" >"$dir/expected"
    printf '%s\n' "$actual" >"$dir/actual"
    diff "$dir/expected" "$dir/actual" || true
    rm -r "$dir"
    exit 1
fi
