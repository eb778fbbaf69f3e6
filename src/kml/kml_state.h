// Run state of this subsystem that outlives one record within a run.
#pragma once

namespace geoplait {

struct KmlState {
};

}  // namespace geoplait
