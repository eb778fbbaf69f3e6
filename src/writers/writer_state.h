// Run state of this subsystem that outlives one record within a run.
#pragma once

namespace geoplait {

struct WriterState {
};

}  // namespace geoplait
