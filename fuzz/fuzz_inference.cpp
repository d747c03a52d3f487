// The inference-graph decoder ('n' messages) and the SVG document drawn from it.

#include "inferencegraph.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    const InferenceGraph graph = decodeInferenceGraph(data, size);
    // Every item id read took 8 bytes of the message.
    std::size_t items = 0;
    for (const Inference& inference : graph.inferences)
        items += std::size_t(inference.items.size());
    if (items * 8 > size)
        std::abort();
    const QString svg = inferenceGraphSvg(graph);
    if (!svg.startsWith(QLatin1String("<svg")) || !svg.endsWith(QLatin1String("</svg>")))
        std::abort();
    return 0;
}
