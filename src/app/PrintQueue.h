#pragma once

class QPrinter;

namespace korvid {

// A queue that turns jobs away (stopped from accepting, or gone) would take the job
// without a word and drop it: error 482 before anything is sent. Output to a file has no
// queue and passes.
void CheckQueueTakesJobs(const QPrinter& printer);

}  // namespace korvid
