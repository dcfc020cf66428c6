#pragma once

// Items that are pages rather than files are loaded by a browser control,
// which this program starts only when a list holds such an item. The list
// run reaches them through this interface.

#include <functional>

struct RunState;

class PageItems {
public:
    virtual ~PageItems() = default;
    // Starts the current item of the run as a page; ended runs once with
    // the run's JobState 5 or 6 and its StatusText set.
    virtual void StartPageDownload(RunState& run, std::function<void()> ended) = 0;
    // Cuts a page in progress off (the user stopped the list).
    virtual void Stop() = 0;

    // Set by the list run: turns the current item into a file item of the
    // run's current address, which ends through ended.
    std::function<void(std::function<void()> ended)> startFileDownload;
};

// Without a browser control: a page item fails, keeping the reason a file
// attempt gave, so the list goes on.
class NoPageItems : public PageItems {
public:
    void StartPageDownload(RunState& run, std::function<void()> ended) override;
    void Stop() override {}
};
