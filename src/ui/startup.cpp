#include "startup.h"

#include <system_error>

#include <QApplication>
#include <QDir>
#include <QThread>

#include "form1.h"

using namespace Qt::StringLiterals;

namespace {

FirstLoad::Result loadInto(const QString &path)
{
    FirstLoad::Result result;
    result.table = std::make_unique<FoodTable>();
    result.load = loadFoodTable(path, *result.table);
    return result;
}

} // namespace

FirstLoad::FirstLoad(const QString &path)
{
    // Qt takes the first thread that asks for its thread data as the main
    // one, and the worker's file reading asks too: this thread asks first.
    QThread::currentThread();
    try {
        m_result = std::async(std::launch::async, loadInto, path);
    } catch (const std::system_error &) {
        // No thread to be had: the load runs when its result is taken.
        m_result = std::async(std::launch::deferred, loadInto, path);
    }
}

FirstLoad::Result FirstLoad::take()
{
    return m_result.get();
}

int startForkwell(int &argc, char **argv, const std::function<int(Form1 &)> &run)
{
    auto firstLoad = std::make_unique<FirstLoad>(QDir::current().filePath(u"diet"_s));
    QApplication app(argc, argv);
    Form1 window(std::move(firstLoad));
    window.show();
    return run(window);
}
