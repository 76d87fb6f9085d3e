#pragma once

#include <QString>

// What the logbook knows of a call: how often it was worked, the last
// date, and the last name and QTH given.
struct WorkedBeforeLookup {
    int count = 0;
    QString last; // YYYY-MM-DD when it reads, else as written
    QString name;
    QString qth;
};
