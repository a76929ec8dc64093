// Generates the shipped templates: make_templates OUTPUT_DIR
// writes OUTPUT_DIR/<template name>/ for every template.
#include "templates/template_kit.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_templates OUTPUT_DIR\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    try {
        for (const auto &draw : {BirthdayTemplate, PostcardTemplate, ThankYouTemplate, WeddingTemplate, NewBabyTemplate,
                                 SeasonsGreetingsTemplate, GetWellTemplate, CongratulationsTemplate}) {
            const TemplateDesign design = draw();
            WriteTemplate(design, output + QLatin1Char('/') + design.Name);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_templates: %s\n", e.what());
        return 1;
    }
    return 0;
}
