#include "signals/SeverityZone.h"

TZoneLimits ZoneLimits(TMachineGroup group) {
    switch (group) {
    case TMachineGroup::Group2Rigid:
        return {1.4, 2.8, 4.5};
    case TMachineGroup::Group2Flexible:
    case TMachineGroup::Group1Rigid:
        return {2.3, 4.5, 7.1};
    case TMachineGroup::Group1Flexible:
        return {3.5, 7.1, 11.0};
    }
    return {1.4, 2.8, 4.5};
}

char SeverityZone(double velocityRms, TMachineGroup group) {
    const TZoneLimits limits = ZoneLimits(group);
    if (velocityRms >= limits.CD) return 'D';
    if (velocityRms >= limits.BC) return 'C';
    if (velocityRms >= limits.AB) return 'B';
    return 'A';
}
