#include "contracts/formbuild.h"

#include "platform/data/datasource.h"

namespace FormBuild {

void SilenceDataSources(TComponent* owner) {
    if (!owner) return;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (auto* ds = dynamic_cast<TDataSource*>(c)) {
            ds->Enabled = false;
            ds->OnStateChange = nullptr;
            ds->OnDataChange = nullptr;
            ds->OnUpdateData = nullptr;
        }
        SilenceDataSources(c);
    }
}

}  // namespace FormBuild
