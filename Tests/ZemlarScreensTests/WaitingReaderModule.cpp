// SPDX-License-Identifier: GPL-3.0-or-later
// A test PAM module that behaves like a fingerprint reader's: it tells the user to touch the
// reader and then waits inside pam_sm_authenticate, without calling the conversation, until the
// test creates the file named by ZEMLAR_TEST_READER_RELEASE. Then it asks for a password and
// writes the conversation's status next to that file. Without the variable it stays out.
#include <cstdio>
#include <cstdlib>
#include <security/pam_appl.h>
#include <security/pam_modules.h>
#include <string>
#include <unistd.h>

namespace {

int converse(const pam_conv& conversation, int style, const char* text) {
    const pam_message message{.msg_style = style, .msg = text};
    const pam_message* messages[] = {&message};
    pam_response* responses = nullptr;
    const int status = conversation.conv(1, messages, &responses, conversation.appdata_ptr);
    if (responses != nullptr) {
        std::free(responses->resp);
        std::free(responses);
    }
    return status;
}

void waitForRelease(const char* release) {
    for (int check = 0; check < 1000 && access(release, F_OK) != 0; ++check) {
        usleep(10'000);
    }
}

} // namespace

extern "C" int pam_sm_authenticate(pam_handle_t* handle, int, int, const char**) {
    const char* release = std::getenv("ZEMLAR_TEST_READER_RELEASE");
    const void* item = nullptr;
    if (release == nullptr || pam_get_item(handle, PAM_CONV, &item) != PAM_SUCCESS ||
        item == nullptr) {
        return PAM_IGNORE;
    }
    const auto& conversation = *static_cast<const pam_conv*>(item);
    converse(conversation, PAM_TEXT_INFO, "Place your finger on the reader");
    waitForRelease(release);
    const int status = converse(conversation, PAM_PROMPT_ECHO_OFF, "Password: ");
    // Written whole under another name first, so that the test never reads half of it.
    const std::string statusFile = std::string(release) + ".status";
    if (FILE* file = std::fopen((statusFile + ".part").c_str(), "w")) {
        std::fprintf(file, "%d", status);
        std::fclose(file);
        std::rename((statusFile + ".part").c_str(), statusFile.c_str());
    }
    return status == PAM_SUCCESS ? PAM_IGNORE : status;
}

extern "C" int pam_sm_setcred(pam_handle_t*, int, int, const char**) {
    return PAM_IGNORE;
}
