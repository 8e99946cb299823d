#pragma once
// The start-up steps both programs and the tests share.

// Fills logs, the line boards and wing: the tables start-up builds first.
void initStartupTables();
// Keys, evaluation tables, and the UCI loop handed to the search as its way of
// serving input: what both programs need before the first position.
void initEngine();
