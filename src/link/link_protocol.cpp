#include "link/link_protocol.hpp"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr std::uint8_t kSync[] = {0x01, 0x02, 0x03};

struct SocketError {
    int number;
    const char* english;
    const char* french;
};

constexpr SocketError kSocketErrors[] = {
    {10004, "Interrupted function call.", "Appel de fonction interrompue"},
    {10013, "Permission denied.", "Permission refusée."},
    {10014, "Bad address.", "Mauvaise addresse."},
    {10022, "Invalid argument.", "Argument invalide."},
    {10024, "Too many open files. Actually, it's too many open sockets.", "Trop de sockets ouverts."},
    {10035, "Resource temporarily unavailable.", "Ressource temporairement indisponible."},
    {10036, "Operation now in progress. A blocking operation is in progress.", "Opération bloquante en cours d'exécution."},
    {10037, "Operation already in progress.", "Operation déjà en cours d'exécution."},
    {10038, "Socket operation on non-socket.", "Pas de socket."},
    {10039, "Destination address required.", "Adresse de destination manquante."},
    {10040, "Message too long.", "Message trop long."},
    {10041, "Protocol wrong type for socket.", "Mauvais type de protocole pour le socket."},
    {10042, "Bad protocol option.", "Mauvaise option de protocole."},
    {10043, "Protocol not supported.", "Protocole non supporté."},
    {10044, "Socket type not supported.", "Type de socket non supporté."},
    {10045, "Operation not supported.", "Opération non supportée."},
    {10046, "Protocol family not supported.", "Famille du protocole non supportée."},
    {10047, "Address family not supported by protocol family.",
     "Addresse de la famille non supportée par la famille du protocole."},
    {10048,
     "Address is already in use. If you attempt to set up a server on a port that is already is in use, you will get "
     "this error.",
     "Addresse déjà utilisée. Si vous essayez de vous connectez au serveur sur un port déjà utilisé, vous aurez cet "
     "erreur."},
    {10049, "Cannot assign requested address.", "Ne peut assigner l'adresse demandée."},
    {10050, "Network is down.", "Le réseau est hors service."},
    {10051, "Network is unreachable.", "Le réseau ne peut être atteint."},
    {10052, "Network dropped connection on reset.", "Le réseau a arrêté la connexion sur une réinitialisation."},
    {10053,
     "Software caused the connection to abort. A connection that has been made was aborted, usually due to "
     "connection or protocol error.",
     "Le logiciel a causé un arrêt de la connexion. Une connexion qui était établie a été arrêtée, souvent due à une "
     "erreur de connexion ou de protocole."},
    {10054,
     "Connection reset by peer. This occurs when an established connection is shut down for some reason by the "
     "remote computer.",
     "Connexion réinitialisée en \"peer\". Ceci arrive quand une connexion établie est arrêtée pour une raison "
     "quelconque par l'ordinateur distant."},
    {10055, "No buffer space available.", "Plus de mémoire tampon disponible."},
    {10056, "Socket is already connected.", "Le socket est déjà connecté."},
    {10057, "Socket is not connected.", "Le socket n'est pas connecté."},
    {10058, "Cannot send after socket shutdown.", "Ne peut être envoyé après l'arrêt du socket."},
    {10060, "Connection timed out.", "Dépassement du temps de connexion."},
    {10061,
     "Connection refused. You will usually see this error when a server refuses a connection from a client, because "
     "the server is not listening on that port.",
     "Connexion refusée. Vous verrez cette erreur quand un serveur refusera une connexion à un client, parce que le "
     "serveur n'était pas à l'écoute de ce port."},
    {10064, "Host is down.", "L'ordinateur hôte (\"Host\") est à l'arrêt."},
    {10065, "No route to host.", "Pas de \"route\" pour l'ordinateur hôte (\"Host\")."},
    {10067, "Too many processes.", "Trop de \"process\" en cours."},
    {10091, "Network subsystem is unavailable.", "Le sous-système réseau n'est pas disponible."},
    {10092, "Unsupported version of WINSOCK.DLL.", "Version non supportée de WINSOCK.DLL."},
    {10093, "Successful WSAStartup not yet performed. TCP networking has not been initialized on your computer.",
     "Echec du lancement de WSAStartup. Le réseau TCP n'a pas été initialisé sur votre ordinateur."},
    {10094, "Graceful shutdown in progress.", "Arrêt normal en cours."},
    {11001, "Host not found. (DNS error.)", "L'ordinateur hôte (\"Host\") n'a pas été trouvé (erreur DNS)."},
    {11002, "Non-authoritative host not found. Temporary DNS error.",
     "L'ordinateur hôte (\"Host\") pose problème (erreur DNS temporaire)."},
    {11003, "Non-recoverable error. (DNS error.)", "Erreur non récupérable (erreur DNS)."},
    {11004, "Valid name, no data record of requested type. (DNS error).",
     "Nom valide, pas de données du type requis (erreur DNS)."},
};

struct KindPrefix {
    SocketErrorKind kind;
    const char* english;
    const char* french;
};

constexpr KindPrefix kPrefixes[] = {
    {SocketErrorKind::Send, "Writing error. ", "Erreur d'écriture sur la connexion socket. "},
    {SocketErrorKind::Receive, "Reading error. ", "Erreur de lecture sur la connexion socket. "},
    {SocketErrorKind::Connect, "Connecting error. ", "Une demande de connexion déjà acceptée n'a pas pu être achevée."},
    {SocketErrorKind::Disconnect, "Disconnecting error. ", "Erreur de fermeture d'une connexion."},
    {SocketErrorKind::Accept, "Accepting error. ", "Erreur d'acceptation d'une demande de connexion cliente."},
    {SocketErrorKind::Other, "Unknown error. ", "Erreur indéterminée. "},
};

}  // namespace

std::array<std::uint8_t, kLinkHeaderBytes> encodeLinkFrame(char letter, std::uint16_t value) {
    return {0x01, 0x02, 0x03, static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value & 0xFF)};
}

std::optional<LinkFrame> readLinkHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kLinkHeaderBytes || !std::equal(std::begin(kSync), std::end(kSync), bytes.begin()))
        return std::nullopt;
    return LinkFrame{static_cast<char>(bytes[3]), static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5])};
}

std::uint8_t linkAudioByte(std::int32_t y) {
    const double b = std::nearbyint((static_cast<double>(y) + 32768.0 - 127.5) / 256.0);
    return static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0));
}

Bilingual socketErrorText(SocketErrorKind kind, int number) {
    const auto prefix = std::find_if(std::begin(kPrefixes), std::end(kPrefixes),
                                     [&](const KindPrefix& p) { return p.kind == kind; });
    const auto known = std::find_if(std::begin(kSocketErrors), std::end(kSocketErrors),
                                    [&](const SocketError& e) { return e.number == number; });
    const bool found = known != std::end(kSocketErrors);
    const std::string n = std::to_string(number);
    return {std::string(prefix->english) + "Socket Error n°" + n + " : " + (found ? known->english : "Unknown socket error."),
            std::string(prefix->french) + "Erreur de socket n°" + n + " : " +
                (found ? known->french : "Erreur de socket indéterminée.")};
}

void LinkParser::reset() {
    pending_.clear();
    payload_ = Payload::None;
    remaining_ = 0;
    identity_.clear();
}

void LinkParser::feed(std::span<const std::uint8_t> bytes, Handler& handler) {
    while (!bytes.empty()) {
        if (payload_ != Payload::None) {
            bytes = bytes.subspan(payload(bytes, handler));
            continue;
        }
        if (pending_.empty()) {
            // Up to the next sync byte; what is before it belongs to no frame.
            const auto start = std::find(bytes.begin(), bytes.end(), kSync[0]);
            bytes = bytes.subspan(static_cast<std::size_t>(start - bytes.begin()));
            if (bytes.empty()) return;
        }
        const std::size_t take = std::min(kLinkHeaderBytes - pending_.size(), bytes.size());
        pending_.insert(pending_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        bytes = bytes.subspan(take);
        // A partial sync that turns out wrong: start again after its first byte.
        const std::size_t syncSeen = std::min(pending_.size(), std::size(kSync));
        if (!std::equal(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(syncSeen), kSync)) {
            std::vector<std::uint8_t> rest(pending_.begin() + 1, pending_.end());
            pending_.clear();
            feed(rest, handler);
            continue;
        }
        if (pending_.size() < kLinkHeaderBytes) return;
        const std::vector<std::uint8_t> whole = std::move(pending_);
        pending_.clear();
        header(*readLinkHeader(whole), whole, handler);
    }
}

void LinkParser::header(const LinkFrame& frame, std::span<const std::uint8_t> bytes, Handler& handler) {
    remaining_ = frame.value;
    switch (frame.letter) {
        case 'I':
            payload_ = Payload::Identity;
            identity_.clear();
            break;
        case 'F':
            handler.format(bytes[4], bytes[5]);
            return;
        case 'T':
            handler.startTransmission();
            return;
        case 'P':
            if (handler.transmitting()) handler.echo(bytes);
            return;
        case 'S':
        case 'R': {
            const bool last = frame.letter == 'R';
            const bool honoured = handler.transmitting() && (last || handler.transmitChainReady());
            payload_ = honoured ? (last ? Payload::LastAudio : Payload::Audio) : Payload::Skip;
            if (honoured) handler.audioBlock(last);
            break;
        }
        default:  // V and unknown letters carry no payload
            return;
    }
    if (remaining_ == 0) payload({}, handler);
}

std::size_t LinkParser::payload(std::span<const std::uint8_t> bytes, Handler& handler) {
    const std::size_t take = std::min(remaining_, bytes.size());
    const auto part = bytes.first(take);
    if (payload_ == Payload::Identity) identity_.append(part.begin(), part.end());
    if ((payload_ == Payload::Audio || payload_ == Payload::LastAudio) && take > 0) handler.audio(part);
    remaining_ -= take;
    if (remaining_ > 0) return take;
    const Payload finished = payload_;
    payload_ = Payload::None;
    if (finished == Payload::Identity) handler.identity(identity_);
    if (finished == Payload::LastAudio) handler.lastBlockComplete();
    return take;
}

}  // namespace orv
