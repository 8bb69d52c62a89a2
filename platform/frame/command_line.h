// The command-line tail: what follows the program name on the process's
// command line, as the application object hands it to its start-up hook.
#pragma once

// Returns a pointer into commandLine (never null; an empty text when there is
// no tail). A program name that starts with a double quote runs to the next
// double quote, blanks included (an unterminated quote takes the rest of the
// line); any other name runs to the first blank (space or tab). The blanks
// after the name are skipped; blanks at the end of the tail are kept. A null
// commandLine gives an empty tail.
const char16_t* commandLineTail(const char16_t* commandLine);
