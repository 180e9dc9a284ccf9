/* A program that uses the installed library: it sets a reserved word and expands a path
   through it. */
#include <stdio.h>
#include <string.h>
#include "korvane.h"

int main(void) {
    char real[1024];
    SetReservedWord("[APPDIR]", "Application folder", "/opt/sample/");
    SetupPathToRealPath("[APPDIR]bin", real);
    if (strcmp(real, "/opt/sample/bin") != 0) return 1;
    printf("%s\n", real);
    return 0;
}
