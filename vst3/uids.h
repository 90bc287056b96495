// The interface identifiers Velum compares against and its own two class identifiers, in this
// platform's byte layout.
#pragma once

#include <string.h>

#include "vst3_types.h"

inline constexpr Uid FUnknown_iid = make_uid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
inline constexpr Uid IPluginBase_iid = make_uid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
inline constexpr Uid IPluginFactory_iid = make_uid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
inline constexpr Uid IPluginFactory2_iid = make_uid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
inline constexpr Uid IPluginFactory3_iid = make_uid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
inline constexpr Uid IComponent_iid = make_uid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
inline constexpr Uid IAudioProcessor_iid = make_uid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
inline constexpr Uid IProcessContextRequirements_iid =
    make_uid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
inline constexpr Uid IConnectionPoint_iid =
    make_uid(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);
inline constexpr Uid IEditController_iid = make_uid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
inline constexpr Uid IMidiMapping_iid = make_uid(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
inline constexpr Uid IPlugView_iid = make_uid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
inline constexpr Uid IBStream_iid = make_uid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
inline constexpr Uid IParameterChanges_iid =
    make_uid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
inline constexpr Uid IParamValueQueue_iid =
    make_uid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
inline constexpr Uid IComponentHandler_iid =
    make_uid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
inline constexpr Uid IPlugFrame_iid = make_uid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

// Class 0, the audio component: 5BBBB2D7-F051-42B4-9E8D-4A2B67F99D5B.
inline constexpr Uid AudioComponent_cid = make_uid(0x5BBBB2D7, 0xF05142B4, 0x9E8D4A2B, 0x67F99D5B);
// Class 1, the edit controller: 054C4639-96E9-4791-B0D5-D3482F65BBA7.
inline constexpr Uid EditController_cid = make_uid(0x054C4639, 0x96E94791, 0xB0D5D348, 0x2F65BBA7);

// [any thread] Whether the 16 bytes at `id` are `uid`; a null `id` matches nothing.
inline bool uidEqual(const char* id, const Uid& uid) {
    return id && memcmp(id, uid.bytes, sizeof uid.bytes) == 0;
}
