#include "solver/equations.h"

namespace {

template<typename Z> double gAny(const RunParameters &p, double x, double y, Z z, Checked &c)
{
    switch (p.eq) {
    case 1:
        return equations::g<1>(p, equations::at<1>(x), y, z, c);
    case 2:
        return equations::g<2>(p, equations::at<2>(x), y, z, c);
    case 3:
        return equations::g<3>(p, equations::at<3>(x), y, z, c);
    case 4:
        return equations::g<4>(p, equations::at<4>(x), y, z, c);
    case 5:
        return equations::g<5>(p, equations::at<5>(x), y, z, c);
    case 6:
        return equations::g<6>(p, equations::at<6>(x), y, z, c);
    default:
        return 0.0;
    }
}

} // namespace

double g(const RunParameters &p, double x, double y, float z, Checked &c)
{
    return gAny(p, x, y, z, c);
}

double g(const RunParameters &p, double x, double y, double z, Checked &c)
{
    return gAny(p, x, y, z, c);
}
