#pragma once
// Table-driven command-line parser.

struct ArgOption {
    const char* name;  // without the dash; "" ends the table
    void* target;
    int type;          // 1 text, 2 integer, 3 double, 4 switch
};

int ParseArgs(int argc, char** argv, const ArgOption* table);  // 0 ok, 1 error (already reported)
void helpme(const char* prog);
