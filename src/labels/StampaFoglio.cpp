#include "labels/StampaFoglio.h"

#include "frame/Pictures.h"
#include "frame/SharedValues.h"
#include "platform/MsgBox.h"
#include "platform/Printer.h"
#include "reports/EasyPrint.h"

#include <QDate>

namespace zar {

QImage LogoEtichetta() {
    return pictureImage(QStringLiteral("logo_etichetta"));
}

bool StampaFoglioEtichette(SharedValues& shared, const std::vector<Etichetta>& etichette, const QString& gara,
                           const MisureEtichetta& m, TipoEtichetta parziale) {
    if (const auto errore = ErroreMisure(m)) {
        MsgBox(*errore, vbExclamation);
        return false;
    }
    if (etichette.empty())
        return false;
    Printer& p = applicationPrinter(shared);
    try {
        p.setScaleMode(vbTwips);
        p.setFontName(kFontEtichetta);
        const QImage logo = LogoEtichetta();
        // The logo's height in hundredths of a millimetre places the competition line, in twips.
        const double altezzaLogo = Printer::pictureSizeHimetric(logo).height();
        const QString data = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        const MisuraTesto misura = [&p](const QString& testo, double punti) {
            p.setFontSize(punti);
            return QSizeF(p.TextWidth(testo), p.TextHeight(testo));
        };
        int pagina = 1;
        for (const PostoEtichetta& posto :
             PercorsoFoglio(int(etichette.size()), m, parziale, p.ScaleHeight())) {
            if (posto.pagina != pagina) {
                p.NewPage();
                pagina = posto.pagina;
            }
            const DisegnoEtichetta d = DisegnaEtichetta(posto.x, posto.y, etichette[size_t(posto.etichetta)],
                                                        gara, posto.tipo, m, altezzaLogo, data, misura);
            p.PaintPicture(logo, d.logo.x(), d.logo.y());
            for (const TestoEtichetta& t : d.testi) {
                p.setFontSize(t.punti);
                p.setCurrentX(t.x);
                p.setCurrentY(t.y);
                p.Print(t.testo);
            }
        }
        p.EndDoc();
        return true;
    } catch (const PrinterError& e) {
        try {
            p.KillDoc();
        } catch (const PrinterError&) {
            // the job is gone either way; the first fault is the one to tell
        }
        EasyPrint::ShowError(e.number(), e.description());
        return false;
    }
}

} // namespace zar
