#pragma once

// The form of a string-table library: a plain array of numbered UTF-8 texts under two
// exported C names. The library holds data only.
extern "C" {
struct QuarnoStringEntry {
    unsigned short id;
    const char* text;
};
}

#define QUARNO_STRING_TABLE_SYMBOL "QuarnoStringTable"
#define QUARNO_STRING_COUNT_SYMBOL "QuarnoStringCount"
