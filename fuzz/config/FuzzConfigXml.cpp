// Reads any bytes as a configuration dictionary and as a UI configuration. Whatever reads must write
// back to text that reads as an equal tree; whatever does not read must leave the tree untouched.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  KvDtDictionary dict;
  dict.SetKey("UNTOUCHED");
  if (dict.ReadFromXMLText(text, "fuzz.xml")) {
    KvDtDictionary back;
    if (!back.ReadFromXMLText(dict.ToXMLText(), "again.xml") || !(back == dict)) std::abort();
  } else if (dict.GetKey() != "UNTOUCHED" || dict.GetCount() != 0 || dict.LastError().message.empty()) {
    std::abort();
  }

  KvDtUIConfig ui;
  if (ui.ReadFromXMLText(text, "fuzz.xml")) {
    KvDtUIConfig back;
    if (!back.ReadFromXMLText(ui.ToXMLText(), "again.xml") || !(back == ui)) std::abort();
    for (int i = 0; i < ui.GetRoot().GetChildCount(); ++i) {
      const KvDtUIItem& item = *ui.GetRoot().GetChild(i);
      std::unique_ptr<KvDtUIItem> copy = item.Clone();
      if (!copy || !(*copy == item)) std::abort();
    }
  } else if (ui.LastError().message.empty()) {
    std::abort();
  }
  return 0;
}
