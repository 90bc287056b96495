#include "editor/external_link.h"

#include "editor/message_wait.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static const wchar_t OPENER[] = L"rundll32 url.dll,FileProtocolHandler \"";
static const wchar_t QUOTE_ESCAPE[] = L"%22";

void openExternally(const wchar_t* uri) {
    size_t quotes = 0, length = wcslen(uri);
    for (size_t i = 0; i < length; i++)
        quotes += uri[i] == L'"';
    size_t openerLength = wcslen(OPENER);
    wchar_t* commandLine =
        static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (openerLength + length + 2 * quotes + 2)));
    if (!commandLine) return;
    wchar_t* out = commandLine;
    wmemcpy(out, OPENER, openerLength);
    out += openerLength;
    for (size_t i = 0; i < length; i++) {
        if (uri[i] == L'"') {
            wmemcpy(out, QUOTE_ESCAPE, 3);
            out += 3;
        } else {
            *out++ = uri[i];
        }
    }
    *out++ = L'"';
    *out = L'\0';

    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        waitServingSent(process.hProcess);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    free(commandLine);
}
