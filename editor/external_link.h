// Opens a link outside the editor with the system's URL handler. Windows only.
#pragma once

// [editor thread] Starts "rundll32 url.dll,FileProtocolHandler" with `uri` (borrowed) as one
// quoted argument and waits for it to end; a double quote in the URI is written as %22. A link
// that cannot be opened is dropped.
void openExternally(const wchar_t* uri);
