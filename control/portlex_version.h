// Portlex's version: the type library (3.4, declared in portlex.idl and checked by the
// tests against these), the saved-state version and Version() all come from here.
#pragma once

#define PORTLEX_VERSION_MAJOR 3
#define PORTLEX_VERSION_MINOR 4

constexpr unsigned long kPortlexVersion = (PORTLEX_VERSION_MAJOR << 16) | PORTLEX_VERSION_MINOR;
