<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>Csv</name>
    <message>
        <source>row %1: a quote in the middle of a cell (a quoted cell is quoted whole, and a quote inside doubled)</source>
        <translation>linha %1: aspas no meio de uma célula (uma célula entre aspas fica inteira entre aspas, e as aspas dentro dela são dobradas)</translation>
    </message>
    <message>
        <source>row %1: a quoted cell is not closed</source>
        <translation>linha %1: uma célula aberta com aspas não foi fechada</translation>
    </message>
</context>
<context>
    <name>Duvactl</name>
    <message>
        <source>UDP port %1 is held by another program (is the configurator window open?); replies could not reach duvactl, so nothing was sent</source>
        <translation>a porta UDP %1 deste computador está em uso por outro programa (a janela do configurador está aberta?); as respostas dos módulos não chegariam ao duvactl, por isso nada foi enviado</translation>
    </message>
    <message>
        <source>sending failed: %1</source>
        <translation>o envio falhou: %1</translation>
    </message>
    <message>
        <source>--filter %1: not FIELD=VALUE</source>
        <translation>--filter %1: não é CAMPO=VALOR</translation>
    </message>
    <message>
        <source>--filter %1: unknown field &apos;%2&apos; (the fields are %3, %4, %5)</source>
        <translation>--filter %1: campo desconhecido &apos;%2&apos; (os campos são %3, %4, %5)</translation>
    </message>
    <message>
        <source>--filter %1, field %2: %3</source>
        <translation>--filter %1, campo %2: %3</translation>
    </message>
    <message>
        <source>search takes no arguments (&apos;%1&apos;)</source>
        <translation>search não recebe argumentos (&apos;%1&apos;)</translation>
    </message>
    <message>
        <source>no module answered (searched %1)</source>
        <translation>nenhum módulo respondeu (redes procuradas: %1)</translation>
    </message>
    <message>
        <source>no module that answered matches</source>
        <translation>nenhum dos módulos que responderam atende ao filtro</translation>
    </message>
    <message>
        <source>%1 needs the module&apos;s ADDRESS or --serial N</source>
        <translation>%1 precisa do ENDEREÇO do módulo ou de --serial N</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an IPv4 address: four numbers from 0 to 255 joined by dots</source>
        <translation>&apos;%1&apos; não é um endereço IPv4: quatro números de 0 a 255 separados por pontos</translation>
    </message>
    <message>
        <source>show takes one module (&apos;%1&apos;)</source>
        <translation>show recebe um só módulo (&apos;%1&apos;)</translation>
    </message>
    <message>
        <source>no module %1 answered</source>
        <translation>nenhum módulo %1 respondeu</translation>
    </message>
    <message>
        <source>with serial number %1</source>
        <translation>com número de série %1</translation>
    </message>
    <message>
        <source>%1 modules answer %2 (serial numbers %3)</source>
        <translation>%1 módulos respondem %2 (números de série %3)</translation>
    </message>
    <message>
        <source>set needs at least one FIELD=VALUE</source>
        <translation>set precisa de pelo menos um CAMPO=VALOR</translation>
    </message>
    <message>
        <source>apply takes one plan file, PLAN.csv or PLAN.json</source>
        <translation>apply recebe um arquivo de plano, PLANO.csv ou PLANO.json</translation>
    </message>
    <message>
        <source>%1: cannot read: %2</source>
        <translation>%1: não foi possível ler: %2</translation>
    </message>
    <message>
        <source>%1: names no module</source>
        <translation>%1: não indica nenhum módulo</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>sem mudança</translation>
    </message>
    <message>
        <source>not sent (dry run)</source>
        <translation>não enviado (simulação)</translation>
    </message>
    <message>
        <source>confirmed</source>
        <translation>confirmado</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>não confirmado</translation>
    </message>
    <message>
        <source>no module answered (searched %1); nothing was written</source>
        <translation>nenhum módulo respondeu (redes procuradas: %1); nada foi gravado</translation>
    </message>
    <message>
        <source>
nothing was written</source>
        <translation>
nada foi gravado</translation>
    </message>
    <message>
        <source>Module %1 at %2</source>
        <translation>Módulo %1 em %2</translation>
    </message>
    <message>
        <source>: no change</source>
        <translation>: sem mudança</translation>
    </message>
    <message>
        <source>WriteRequest to %1:%2:</source>
        <translation>WriteRequest para %1:%2:</translation>
    </message>
    <message>
        <source>Sent 1 write; waiting %1 ms for the modules to settle.</source>
        <translation>Enviada 1 gravação; aguardando %1 ms para que o módulo se estabilize.</translation>
    </message>
    <message>
        <source>Sent %1 writes; waiting %2 ms for the modules to settle.</source>
        <translation>Enviadas %1 gravações; aguardando %2 ms para que os módulos se estabilizem.</translation>
    </message>
    <message>
        <source>where</source>
        <translation>onde</translation>
    </message>
    <message>
        <source>serialNumber</source>
        <translation>nº de série</translation>
    </message>
    <message>
        <source>address</source>
        <translation>endereço</translation>
    </message>
    <message>
        <source>newAddress</source>
        <translation>novo endereço</translation>
    </message>
    <message>
        <source>status</source>
        <translation>estado</translation>
    </message>
    <message>
        <source>it answers with other values of %1</source>
        <translation>responde com outros valores de %1</translation>
    </message>
    <message>
        <source>it did not answer</source>
        <translation>não respondeu</translation>
    </message>
    <message>
        <source>not every write was confirmed: no reply carried exactly the record written</source>
        <translation>nem toda gravação foi confirmada: nenhuma resposta trouxe exatamente o registro gravado</translation>
    </message>
    <message>
        <source>reset takes no arguments (&apos;%1&apos;)</source>
        <translation>reset não recebe argumentos (&apos;%1&apos;)</translation>
    </message>
    <message>
        <source>the reset datagram (65 zero bytes) to UDP port %1 at %2, 256 datagrams for each /16, 1 ms apart; every module in those networks takes it</source>
        <translation>o datagrama de reset (65 bytes zero) para a porta UDP %1 em %2, 256 datagramas para cada /16, com 1 ms de intervalo; todo módulo dessas redes o recebe</translation>
    </message>
    <message>
        <source> and </source>
        <translation> e </translation>
    </message>
    <message>
        <source>reset would broadcast %1. Give --yes to send it.</source>
        <translation>reset enviaria em broadcast %1. Use --yes para enviá-lo.</translation>
    </message>
    <message>
        <source>Sent %1.</source>
        <translation>Enviado %1.</translation>
    </message>
    <message>
        <source>Try &apos;duvactl --help&apos;.</source>
        <translation>Experimente &apos;duvactl --help&apos;.</translation>
    </message>
</context>
<context>
    <name>ExitStatus</name>
    <message>
        <source>Exit status:
  0  done: every module listed, found, or confirmed
  1  not confirmed: a write went out, but no reply carried exactly what was
     written
  2  bad command line, or reset without --yes
  3  a bad value or an unknown field (the row, column and value are named),
     or a plan that cannot be read; nothing was sent
  4  two modules would end up with one address; nothing was sent
  5  two modules answer at the address to be written to; nothing was sent
  6  no module answered, or a module named did not; nothing was written
  7  UDP port 5001 is held by another program (is the configurator window open?)
  8  no IPv4 network to search
  9  the system refused to send a datagram
</source>
        <translation>Código de saída:
  0  feito: todo módulo listado, encontrado ou confirmado
  1  não confirmado: uma gravação foi enviada, mas nenhuma resposta trouxe
     exatamente o que foi gravado
  2  linha de comando inválida, ou reset sem --yes
  3  um valor inválido ou um campo desconhecido (linha, coluna e valor são
     indicados), ou um plano que não pode ser lido; nada foi enviado
  4  dois módulos ficariam com o mesmo endereço; nada foi enviado
  5  dois módulos respondem no endereço a gravar; nada foi enviado
  6  nenhum módulo respondeu, ou um módulo indicado não respondeu; nada foi
     gravado
  7  a porta UDP 5001 está em uso por outro programa (a janela do configurador
     está aberta?)
  8  nenhuma rede IPv4 para procurar
  9  o sistema recusou o envio de um datagrama
</translation>
    </message>
</context>
<context>
    <name>Fields</name>
    <message>
        <source>is not an IPv4 address: four numbers from 0 to 255 joined by dots</source>
        <translation>não é um endereço IPv4: quatro números de 0 a 255 separados por pontos</translation>
    </message>
    <message>
        <source>is not %1: a whole number from 0 to %2</source>
        <translation>não é %1: um número inteiro de 0 a %2</translation>
    </message>
    <message>
        <source>is not a boolean: 0, 1, true or false</source>
        <translation>não é um valor lógico: 0, 1, true ou false</translation>
    </message>
    <message>
        <source>is not exactly %1 characters long</source>
        <translation>não tem exatamente %1 caracteres</translation>
    </message>
    <message>
        <source>is longer than %1 characters</source>
        <translation>tem mais de %1 caracteres</translation>
    </message>
    <message>
        <source>has a character that the modules cannot store (they take Windows Latin-1, cp1252, text only)</source>
        <translation>tem um caractere que os módulos não conseguem guardar (eles aceitam apenas texto Windows Latin-1, cp1252)</translation>
    </message>
    <message>
        <source>a port</source>
        <translation>uma porta</translation>
    </message>
    <message>
        <source>is neither client nor server</source>
        <translation>não é client nem server</translation>
    </message>
    <message>
        <source>a time value</source>
        <translation>um tempo</translation>
    </message>
    <message>
        <source>a serial number</source>
        <translation>um número de série</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>Finds, shows and configures DUVA Ethernet modules from the command line.

Commands:
  search                      list every module that answers a search
  show ADDRESS | --serial N   print one module&apos;s record
  set ADDRESS | --serial N FIELD=VALUE...
                              write one module and confirm it: search for its record,
                              print what changes, send one write to its address, wait
                              the settle time, and search again until a reply carries
                              exactly the record written
  apply PLAN.csv | PLAN.json  configure many modules: each row picks a module by
                              serialNumber (or, without one, by its current ipAddress)
                              and gives the fields to change; an empty cell changes
                              nothing. Nothing is sent until every row is valid and
                              every module named has answered. `duvactl search --csv`
                              writes such a plan.
  reset --yes                 broadcast the reset datagram to UDP port 69 on every /24
                              network of the local /16, as the window&apos;s &quot;RST 69&quot;

Fields: ipAddress, subnetMask, gateway, dnsServer (A.B.C.D, each 0-255), localPort,
serverPort (0-65535), dhcp, watchdog, autoDisconnect (0, 1, true or false), clientMode
(client or server; client mode needs a serverHost), autoDisconnectTime (0-255),
firmwareVersion (exactly 3 characters), serialNumber (0-16777215), serverHost (at most
32 characters); texts in Windows Latin-1 (cp1252). Search also prints `from`, the
address the reply came from, and `replies`; a plan may carry both, which are ignored.

A search goes to the broadcast address of every running IPv4 interface but loopback,
with replies on UDP port 5001. It ends a quiet period after the last reply, or at the
total wait; with no reply at all it asks again, three requests in all.
</source>
        <translation>Procura, mostra e configura módulos Ethernet DUVA pela linha de comando.

Comandos:
  search                      lista todo módulo que responde a uma procura
  show ENDEREÇO | --serial N  mostra o registro de um módulo
  set ENDEREÇO | --serial N CAMPO=VALOR...
                              grava um módulo e o confirma: procura o registro dele,
                              mostra o que muda, envia uma gravação ao endereço dele,
                              aguarda o tempo de estabilização e procura de novo até que
                              uma resposta traga exatamente o registro gravado
  apply PLANO.csv | PLANO.json
                              configura muitos módulos: cada linha escolhe um módulo
                              pelo serialNumber (ou, sem ele, pelo ipAddress atual) e
                              dá os campos a mudar; uma célula vazia não muda nada.
                              Nada é enviado antes que toda linha seja válida e todo
                              módulo indicado tenha respondido. `duvactl search --csv`
                              escreve um plano assim.
  reset --yes                 envia em broadcast o datagrama de reset para a porta
                              UDP 69 em toda rede /24 da /16 local, como o &quot;RST 69&quot;
                              da janela

Campos: ipAddress, subnetMask, gateway, dnsServer (A.B.C.D, cada um de 0 a 255),
localPort, serverPort (0-65535), dhcp, watchdog, autoDisconnect (0, 1, true ou false),
clientMode (client ou server; o modo cliente precisa de um serverHost),
autoDisconnectTime (0-255), firmwareVersion (exatamente 3 caracteres), serialNumber
(0-16777215), serverHost (no máximo 32 caracteres); textos em Windows Latin-1
(cp1252). A procura também mostra `from`, o endereço de onde veio a resposta, e
`replies`; um plano pode trazer os dois, que são ignorados.

Uma procura vai para o endereço de broadcast de toda interface IPv4 ativa, exceto a
de loopback, com as respostas na porta UDP 5001. Ela termina após um período de
silêncio depois da última resposta, ou ao fim da espera total; sem nenhuma resposta,
ela pergunta de novo, três pedidos ao todo.
</translation>
    </message>
    <message>
        <source>Show this text and exit.</source>
        <translation>Mostra este texto e sai.</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <translation>Mostra a versão do programa e sai.</translation>
    </message>
    <message>
        <source>Print JSON.</source>
        <translation>Escreve JSON.</translation>
    </message>
    <message>
        <source>Print comma-separated values (a plan for apply).</source>
        <translation>Escreve valores separados por vírgulas (um plano para apply).</translation>
    </message>
    <message>
        <source>search: list only the modules whose FIELD shows VALUE (repeatable; all must match).</source>
        <translation>search: lista só os módulos cujo CAMPO mostra VALOR (pode repetir; todos precisam coincidir).</translation>
    </message>
    <message>
        <source>FIELD=VALUE</source>
        <translation>CAMPO=VALOR</translation>
    </message>
    <message>
        <source>Search (or reset) through this interface only.</source>
        <translation>Procura (ou reseta) só por esta interface.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NOME</translation>
    </message>
    <message>
        <source>Search A.B.C.255 only, through an interface in A.B.C.</source>
        <translation>Procura só em A.B.C.255, por uma interface em A.B.C.</translation>
    </message>
    <message>
        <source>Also broadcast to the 256 /24 networks of each /16, 1 ms apart, as the window&apos;s extended range.</source>
        <translation>Envia também às 256 redes /24 de cada /16, com 1 ms de intervalo, como o &quot;Alcance extendido&quot; da janela.</translation>
    </message>
    <message>
        <source>show, set: the module with this serial number.</source>
        <translation>show, set: o módulo com este número de série.</translation>
    </message>
    <message>
        <source>set, apply: wait after writing (default 6000).</source>
        <translation>set, apply: espera depois de gravar (padrão 6000).</translation>
    </message>
    <message>
        <source>A search ends this long after the last reply (default 500).</source>
        <translation>Uma procura termina este tempo depois da última resposta (padrão 500).</translation>
    </message>
    <message>
        <source>A search ends this long after its request at the latest (default 3000).</source>
        <translation>Uma procura termina no máximo este tempo depois do seu pedido (padrão 3000).</translation>
    </message>
    <message>
        <source>set, apply: search and print the writes (with their 65 bytes) instead of sending them.</source>
        <translation>set, apply: procura e mostra as gravações (com seus 65 bytes) em vez de enviá-las.</translation>
    </message>
    <message>
        <source>reset: really send the reset broadcast.</source>
        <translation>reset: envia de fato o broadcast de reset.</translation>
    </message>
    <message>
        <source>command</source>
        <translation>comando</translation>
    </message>
    <message>
        <source>search, show, set, apply or reset (see above).</source>
        <translation>search, show, set, apply ou reset (veja acima).</translation>
    </message>
    <message>
        <source>command [arguments...]</source>
        <translation>comando [argumentos...]</translation>
    </message>
    <message>
        <source>no command given (search, show, set, apply or reset)</source>
        <translation>nenhum comando dado (search, show, set, apply ou reset)</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (search, show, set, apply or reset)</source>
        <translation>comando desconhecido &apos;%1&apos; (search, show, set, apply ou reset)</translation>
    </message>
    <message>
        <source>--json and --csv exclude each other</source>
        <translation>--json e --csv não podem ser usados juntos</translation>
    </message>
    <message>
        <source>--%1: &apos;%2&apos; is not a whole number from %3 to %4</source>
        <translation>--%1: &apos;%2&apos; não é um número inteiro de %3 a %4</translation>
    </message>
    <message>
        <source>--%1 does not apply to %2</source>
        <translation>--%1 não se aplica a %2</translation>
    </message>
</context>
<context>
    <name>Output</name>
    <message>
        <source>neither</source>
        <translation>nenhum</translation>
    </message>
</context>
<context>
    <name>Plan</name>
    <message>
        <source>%1: unknown field &apos;%2&apos; (the fields are %3)</source>
        <translation>%1: campo desconhecido &apos;%2&apos; (os campos são %3)</translation>
    </message>
    <message>
        <source>%1, column %2: %3</source>
        <translation>%1, coluna %2: %3</translation>
    </message>
    <message>
        <source>%1: names no module: give its serialNumber or its ipAddress</source>
        <translation>%1: não indica nenhum módulo: dê o serialNumber ou o ipAddress dele</translation>
    </message>
    <message>
        <source>serial number %1</source>
        <translation>número de série %1</translation>
    </message>
    <message>
        <source>address %1</source>
        <translation>endereço %1</translation>
    </message>
    <message>
        <source>%1 and %2 both name the module with %3</source>
        <translation>%1 e %2 indicam ambas o módulo com %3</translation>
    </message>
    <message>
        <source>the file is not UTF-8 text</source>
        <translation>o arquivo não é texto UTF-8</translation>
    </message>
    <message>
        <source>row 1: no header naming the columns (%1)</source>
        <translation>linha 1: sem cabeçalho com os nomes das colunas (%1)</translation>
    </message>
    <message>
        <source>row 1, column %1</source>
        <translation>linha 1, coluna %1</translation>
    </message>
    <message>
        <source>row 1: column %1 appears twice</source>
        <translation>linha 1: a coluna %1 aparece duas vezes</translation>
    </message>
    <message>
        <source>row 1: no column serialNumber or ipAddress to pick the modules by</source>
        <translation>linha 1: nenhuma coluna serialNumber ou ipAddress para escolher os módulos</translation>
    </message>
    <message>
        <source>row %1</source>
        <translation>linha %1</translation>
    </message>
    <message>
        <source>%1, column %2: &apos;%3&apos; lies beyond the last column of the header</source>
        <translation>%1, coluna %2: &apos;%3&apos; está além da última coluna do cabeçalho</translation>
    </message>
    <message>
        <source>not JSON: %1 at character %2</source>
        <translation>não é JSON: %1 no caractere %2</translation>
    </message>
    <message>
        <source>not a JSON array of modules, as `duvactl search --json` writes</source>
        <translation>não é uma lista JSON de módulos, como a que `duvactl search --json` escreve</translation>
    </message>
    <message>
        <source>entry %1</source>
        <translation>item %1</translation>
    </message>
    <message>
        <source>%1: not an object of field names and values</source>
        <translation>%1: não é um objeto de nomes de campos e valores</translation>
    </message>
    <message>
        <source>%1, column %2: %3 is not a value</source>
        <translation>%1, coluna %2: %3 não é um valor</translation>
    </message>
    <message>
        <source>%1: not FIELD=VALUE (the fields are %2)</source>
        <translation>%1: não é CAMPO=VALOR (os campos são %2)</translation>
    </message>
    <message>
        <source>argument %1</source>
        <translation>argumento %1</translation>
    </message>
    <message>
        <source>%1, field %2: %3</source>
        <translation>%1, campo %2: %3</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Usage: %1</source>
        <translation>Uso: %1</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[opções]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Opções:</translation>
    </message>
    <message>
        <source>Arguments:</source>
        <translation>Argumentos:</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Opção desconhecida &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Opções desconhecidas: %1.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;.</source>
        <translation>Falta um valor depois de &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unexpected value after &apos;%1&apos;.</source>
        <translation>Valor inesperado depois de &apos;%1&apos;.</translation>
    </message>
</context>
<context>
    <name>Resolve</name>
    <message>
        <source>serial number %1</source>
        <translation>número de série %1</translation>
    </message>
    <message>
        <source>address %1</source>
        <translation>endereço %1</translation>
    </message>
    <message>
        <source>field</source>
        <translation>campo</translation>
    </message>
    <message>
        <source>column</source>
        <translation>coluna</translation>
    </message>
    <message>
        <source>%1: no module with %2 answered</source>
        <translation>%1: nenhum módulo com %2 respondeu</translation>
    </message>
    <message>
        <source>%1: %2 modules answer with %3 (serial numbers %4); a write to one of them would reach any</source>
        <translation>%1: %2 módulos respondem com %3 (números de série %4); uma gravação para um deles chegaria a qualquer um</translation>
    </message>
    <message>
        <source>%1 and %2 both name the module with serial number %3</source>
        <translation>%1 e %2 indicam ambas o módulo com número de série %3</translation>
    </message>
    <message>
        <source>%1: %2 modules answer at %3 (serial numbers %4); a write to that address would reach either of them</source>
        <translation>%1: %2 módulos respondem em %3 (números de série %4); uma gravação para esse endereço chegaria a qualquer um deles</translation>
    </message>
    <message>
        <source>%1: the module with serial number %2 holds the address %3, which no write can reach</source>
        <translation>%1: o módulo com número de série %2 está no endereço %3, que nenhuma gravação alcança</translation>
    </message>
    <message>
        <source>%1, %2 serverHost: client mode needs a server host, and serverHost is empty</source>
        <translation>%1, %2 serverHost: o modo cliente precisa de um servidor, e serverHost está vazio</translation>
    </message>
    <message>
        <source>%1, %2 ipAddress: &apos;%3&apos;</source>
        <translation>%1, %2 ipAddress: &apos;%3&apos;</translation>
    </message>
    <message>
        <source>%1 is also the new address of the module with serial number %2 (%3)</source>
        <translation>%1 também é o novo endereço do módulo com número de série %2 (%3)</translation>
    </message>
    <message>
        <source>%1 is the address of another module that answered (serial number %2)</source>
        <translation>%1 é o endereço de outro módulo que respondeu (número de série %2)</translation>
    </message>
</context>
<context>
    <name>Targets</name>
    <message>
        <source>--network %1: not three numbers from 0 to 255 joined by dots, such as 192.168.0</source>
        <translation>--network %1: não são três números de 0 a 255 separados por pontos, como 192.168.0</translation>
    </message>
    <message>
        <source>no IPv4 network: no interface but loopback is up and running with an IPv4 address</source>
        <translation>nenhuma rede IPv4: nenhuma interface além da de loopback está ativa com um endereço IPv4</translation>
    </message>
    <message>
        <source>named %1</source>
        <translation>chamada %1</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>em %1</translation>
    </message>
    <message>
        <source>no IPv4 network: no running interface %1 (running: %2)</source>
        <translation>nenhuma rede IPv4: nenhuma interface ativa %1 (ativas: %2)</translation>
    </message>
    <message>
        <source> and </source>
        <translation> e </translation>
    </message>
</context>
</TS>
