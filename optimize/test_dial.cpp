// The test call: a modem call to a dummy number, hung up by the run.
#include "test_dial.h"

#include "../platform/alerts.h"
#include "../platform/process.h"

HRASCONN DialHandle = nullptr;
std::atomic<bool> NoDialTone{false};

namespace {

// The service writes the handle as one machine word, from RasDial, while the
// notifier may read it on the service's thread.
std::atomic_ref<HRASCONN> SharedHandle() {
    return std::atomic_ref<HRASCONN>(DialHandle);
}
static_assert(std::atomic_ref<HRASCONN>::is_always_lock_free, "a plain machine word");

// Nothing promises that the service has copied the record when RasDial
// returns, while the dial goes on: it lives as long as the program.
DialParams Params;

const char PhoneNumber[] = "1234567890123456789012345678901234567890123456789012345678901234567890";
const char Domain[] = "*";

const uint32_t ErrorUserDisconnection = 631;
const uint32_t ErrorNoDialTone = 680;

const unsigned ErrorToneHz = 1000;
const unsigned ErrorToneMs = 1000;
const unsigned HangUpWaitMs = 3000;

const char NoDialToneText[] = "Нет сигнала в линии.";
const char ConnectionErrorText[] = "Ошибка соединения.";

// Writes text and then zero bytes up to the end of the field.
void FillField(char* field, size_t size, const char* text) {
    size_t i = 0;
    for (; text[i] != 0 && i < size - 1; ++i)
        field[i] = text[i];
    for (; i < size; ++i)
        field[i] = 0;
}

void FillDialParams(DialParams* params) {
    params->dwSize = sizeof(DialParams);
    FillField(params->szEntryName, sizeof params->szEntryName, "");
    FillField(params->szPhoneNumber, sizeof params->szPhoneNumber, PhoneNumber);
    FillField(params->szCallbackNumber, sizeof params->szCallbackNumber, "");
    FillField(params->szUserName, sizeof params->szUserName, "");
    FillField(params->szPassword, sizeof params->szPassword, "");
    FillField(params->szDomain, sizeof params->szDomain, Domain);
}

} // namespace

void StartTestDial() {
    FillDialParams(&Params);
    SharedHandle().store(nullptr);
    StartRasDial(&Params, DialNotify, &DialHandle);
}

void HangUpTestDial() {
    HangUpRasConnection(SharedHandle().load());
    WaitMilliseconds(HangUpWaitMs);
}

// Runs on the service's thread; every call stands on its own, whatever an
// earlier one is still doing. Errors other than 631 end the process once the
// user has closed their box, whatever the dialog's thread is doing.
void DialNotify(unsigned unMsg, int rasConnState, uint32_t dwError) {
    (void)unMsg;
    (void)rasConnState;
    if (dwError == 0)
        return;
    HangUpRasConnection(SharedHandle().load());
    if (dwError == ErrorUserDisconnection)
        return;
    const char* text = ConnectionErrorText;
    if (dwError == ErrorNoDialTone) {
        NoDialTone.store(true);
        text = NoDialToneText;
    }
    PlayTone(ErrorToneHz, ErrorToneMs);
    ShowErrorBox(nullptr, text, ErrorCaption);
    EndProcess(ExitOk);
}
