#include "support/spam_training.h"

#include "app/spam_bogofilter.h"

std::string MailHeader(const std::string& from, const std::string& subject, const std::string& body) {
    return "From: " + from + "\r\nSubject: " + subject + "\r\nDate: Tue, 1 Dec 2026 10:00:00 +0100\r\n\r\n" +
           body;
}

std::vector<std::string> LabelledMessages(SpamLabel label) {
    static const char* const kSpam[] = {"Cheap pills casino winner",       "Casino bonus winner lottery",
                                        "Lottery winner claim your prize", "Cheap pills no prescription",
                                        "Claim your casino prize now",     "Winner cheap lottery pills"};
    static const char* const kWanted[] = {"Compte rendu de la réunion",  "Réunion projet jeudi",
                                          "Ordre du jour de la réunion", "Projet : compte rendu",
                                          "Jeudi, réunion du projet",    "Compte rendu projet jeudi"};
    std::vector<std::string> messages;
    if (label == SpamLabel::Spam)
        for (const char* subject : kSpam) messages.push_back(MailHeader("promo@offres.biz", subject));
    else
        for (const char* subject : kWanted) messages.push_back(MailHeader("claire@amis.fr", subject));
    return messages;
}

void TeachSpamWords(const std::filesystem::path& words) {
    BogofilterOptions options;
    options.words = words;
    const auto engine = MakeBogofilterEngine(options);
    for (SpamLabel label : {SpamLabel::Spam, SpamLabel::Wanted})
        for (const std::string& message : LabelledMessages(label)) engine->Learn(message, label, false);
}
