#include "split/parts/output_stage.h"

namespace tovane {

bool OutputStage::nextPart(std::string_view title) {
    partSourceBytes_ = source_.mark().size();
    return sink_.nextPart(title);
}

}  // namespace tovane
