#pragma once

class QString;

namespace korvid {

// Whether the CUPS queue `name` takes jobs now. A queue that turns jobs away (stopped from
// accepting, or gone) would take a job without a word and drop it.
bool QueueTakesJobs(const QString& name);

}  // namespace korvid
