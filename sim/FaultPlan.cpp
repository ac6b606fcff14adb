#include "sim/FaultPlan.h"

namespace zorkit::sim {

bool CFaultPlan::Take(Fault fault)
{
    std::size_t& armed = m_armed[Index(fault)];
    if (armed == 0)
        return false;
    --armed;
    return true;
}

}
