#include "web/WebRetrieval.h"

#include "web/PageFetcher.h"
#include "web/WebAddress.h"

// The only symbol the module exports; everything else in it is hidden.
extern "C" __attribute__((visibility("default"))) const tandemix::WebRetrieval*
tandemix_web_retrieval() {
    static constexpr tandemix::WebRetrieval kTable{
        tandemix::kWebRetrievalVersion, &tandemix::FetchPageToFile, &tandemix::DisplayAddress};
    return &kTable;
}
