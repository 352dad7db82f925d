// A stand-in for the headset's audio chip: the endpoint lists and a property store per endpoint
// with the properties, value kinds and ranges of the real chip, plus injected failures and a log
// of every property call for tests.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/audio/audio_chip_library.h"

namespace varkon {

// One property call as the chip received it.
struct ChipCall {
  std::optional<AudioFlow> flow;  // none when the handle named no endpoint
  std::string name;
  bool write = false;
  std::vector<int32_t> extra;
  ChipValue value = int32_t{0};  // writes only
  ChipStatus status = ChipStatus::kOk;
};

class EmulatedAudioChip : public AudioChipLibrary {
 public:
  // One usable playback endpoint (type 1) and one recording endpoint (type 2), every property
  // holding its factory value; the recording side offers the voice changer.
  EmulatedAudioChip();

  ChipStatus Init() override;
  void CreateDeviceList() override;
  ChipStatus GetDeviceCount(AudioFlow flow, uint32_t& count) override;
  ChipStatus GetDeviceById(AudioFlow flow, uint32_t index, AudioEndpoint& endpoint) override;
  ChipStatus ReadProperty(const AudioEndpoint& endpoint, std::string_view name, ChipExtra extra,
                          std::string& text) override;
  ChipStatus WriteProperty(const AudioEndpoint& endpoint, std::string_view name, ChipExtra extra,
                           ChipValue value) override;

  // Replaces a flow's endpoints (each with the flow's properties at factory values); they are
  // listed from the next CreateDeviceList.
  void SetEndpoints(AudioFlow flow, std::vector<AudioEndpoint> endpoints);
  // Every property of every endpoint without a value, as a chip never configured: reads fail
  // until a write gives one.
  void ClearValues();
  // The "GetSupportFeature" text of every endpoint of the flow.
  void SetFeatureList(AudioFlow flow, std::string text);

  void FailInit(bool fail) { failInit_ = fail; }
  void FailRead(std::string name) { failReads_.insert(std::move(name)); }
  void FailWrite(std::string name) { failWrites_.insert(std::move(name)); }
  void ClearFailures();

  // The value text of a property of the flow's first endpoint; none when unset or unknown.
  std::optional<std::string> ValueText(AudioFlow flow, std::string_view name) const;
  const std::vector<ChipCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Every property as ("playback0.EQ_Slider1", "7") pairs, endpoints in list order and
  // properties in table order; an unset value reads "unset".
  std::vector<std::pair<std::string, std::string>> Dump() const;

 private:
  enum class Kind { kInt, kFloat, kText };
  struct Property {
    std::string name;
    Kind kind = Kind::kInt;
    double low = 0, high = 0;         // accepted range of written values
    std::optional<std::string> text;  // the value as the chip reports it
  };
  struct Endpoint {
    AudioEndpoint handle;
    std::vector<Property> properties;
  };

  static std::vector<Property> FactoryProperties(AudioFlow flow);
  Endpoint* FindEndpoint(const AudioEndpoint& handle, std::optional<AudioFlow>& flow);
  static Property* FindProperty(Endpoint& endpoint, std::string_view name);
  const std::vector<Endpoint>& EndpointsOf(AudioFlow flow) const;
  std::vector<Endpoint>& EndpointsOf(AudioFlow flow);
  ChipStatus Log(ChipCall call);

  std::vector<Endpoint> playback_, recording_;
  uint32_t listedPlayback_ = 0, listedRecording_ = 0;  // counts as of the last CreateDeviceList
  bool failInit_ = false;
  std::set<std::string, std::less<>> failReads_, failWrites_;
  std::vector<ChipCall> calls_;
};

}  // namespace varkon
