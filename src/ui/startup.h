#pragma once

#include <functional>
#include <future>
#include <memory>

#include <QString>

#include "foodtable.h"

class Form1;

// The first Load of the food database, done on a worker thread so that it
// overlaps building the main window: the worker makes the empty food table
// and reads the database file into it. Until take() returns, nothing else
// touches the table.
class FirstLoad
{
public:
    struct Result
    {
        std::unique_ptr<FoodTable> table;
        FoodLoad load; // load.opened is false when the file could not be read
    };

    // Starts reading the database file at path at once.
    explicit FirstLoad(const QString &path);

    FirstLoad(const FirstLoad &) = delete;
    FirstLoad &operator=(const FirstLoad &) = delete;

    // Waits for the worker and hands over the table and what the load
    // found. Called once; a FirstLoad whose result was never taken waits for
    // its worker when it goes.
    Result take();

private:
    std::future<Result> m_result;
};

// Starts Forkwell in the working folder: the first Load begins before
// anything else, the application and the main window are built meanwhile,
// and the window is shown. run(window) then does the rest, normally the
// event loop, and its result is the program's exit status.
int startForkwell(int &argc, char **argv, const std::function<int(Form1 &)> &run);
