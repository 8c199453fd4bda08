<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>Commission</name>
    <message>
        <source>commission takes one plan file, PLAN.csv or PLAN.json</source>
        <translation>commission recebe um arquivo de plano, PLANO.csv ou PLANO.json</translation>
    </message>
    <message>
        <source>commission needs --at ADDRESS, the address that fresh modules answer from</source>
        <translation>commission precisa de --at ENDEREÇO, o endereço em que os módulos novos respondem</translation>
    </message>
    <message>
        <source>%1: cannot read: %2</source>
        <translation>%1: não foi possível ler: %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: names no module</source>
        <translation>%1: não indica nenhum módulo</translation>
    </message>
    <message>
        <source>
nothing was written</source>
        <translation>
nada foi gravado</translation>
    </message>
    <message>
        <source>%1: %2
nothing was written</source>
        <translation>%1: %2
nada foi gravado</translation>
    </message>
    <message>
        <source>client mode needs a server host, and serverHost is empty</source>
        <translation>o modo cliente precisa de um servidor, e serverHost está vazio</translation>
    </message>
    <message>
        <source>module %1</source>
        <translation>módulo %1</translation>
    </message>
    <message numerus="yes">
        <source>waiting for the next module at %1 (%n row(s) left)</source>
        <translation>
            <numerusform>aguardando o próximo módulo em %1 (%n linha restante)</numerusform>
            <numerusform>aguardando o próximo módulo em %1 (%n linhas restantes)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 modules answer at %2: serial numbers %3; leave only one connected</source>
        <translation>%1 módulos respondem em %2: números de série %3; deixe só um conectado</translation>
    </message>
    <message>
        <source>%1 at %2: no row of the plan is left for it; it is left as it is</source>
        <translation>%1 em %2: não resta linha do plano para ele; fica como está</translation>
    </message>
    <message>
        <source>%1 is not given %2: %3</source>
        <translation>%1 não recebe a %2: %3</translation>
    </message>
    <message>
        <source>writing %1 -&gt; %2 (%3)</source>
        <translation>gravando %1 -&gt; %2 (%3)</translation>
    </message>
    <message>
        <source>writing %1 -&gt; %2 again (write %3)</source>
        <translation>gravando %1 -&gt; %2 de novo (gravação %3)</translation>
    </message>
    <message>
        <source>%1 confirmed at %2 (%3 s)</source>
        <translation>%1 confirmado em %2 (%3 s)</translation>
    </message>
    <message>
        <source>%1 not confirmed: no reply showed the record written at %2 within %3 s; it keeps its row if it answers again at %4</source>
        <translation>%1 não confirmado: nenhuma resposta mostrou o registro gravado em %2 dentro de %3 s; ele mantém a sua linha se responder de novo em %4</translation>
    </message>
    <message>
        <source>%1: not confirmed after %2 writes; it is not written again, and its row goes to another module</source>
        <translation>%1: não confirmado depois de %2 gravações; não é gravado de novo, e a sua linha vai para outro módulo</translation>
    </message>
    <message numerus="yes">
        <source>every row is done: %n module(s) confirmed in this run</source>
        <translation>
            <numerusform>toda linha está feita: %n módulo confirmado nesta execução</numerusform>
            <numerusform>toda linha está feita: %n módulos confirmados nesta execução</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the record could not be written: %2; nothing more is sent</source>
        <translation>%1: não foi possível escrever o registro: %2; nada mais é enviado</translation>
    </message>
    <message numerus="yes">
        <source>%1 shows %n row(s) confirmed already; they are skipped</source>
        <translation>
            <numerusform>%1 mostra %n linha já confirmada; ela é pulada</numerusform>
            <numerusform>%1 mostra %n linhas já confirmadas; elas são puladas</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the record could not be written: %2</source>
        <translation>%1: não foi possível escrever o registro: %2</translation>
    </message>
    <message>
        <source>interrupted: %1 module(s) confirmed in this run, %2 row(s) left; %3</source>
        <translation>interrompido: %1 módulo(s) confirmado(s) nesta execução, %2 linha(s) restante(s); %3</translation>
    </message>
    <message>
        <source>the last write went out and is not confirmed</source>
        <translation>a última gravação foi enviada e não está confirmada</translation>
    </message>
    <message>
        <source>no write is outstanding</source>
        <translation>nenhuma gravação está pendente</translation>
    </message>
    <message>
        <source>the same command with --record %1 goes on where this one stopped</source>
        <translation>o mesmo comando com --record %1 continua de onde este parou</translation>
    </message>
    <message>
        <source>(--force writes such values all the same)</source>
        <translation>(--force grava esses valores mesmo assim)</translation>
    </message>
    <message>
        <source>every row is done, but not every module was confirmed</source>
        <translation>toda linha está feita, mas nem todo módulo foi confirmado</translation>
    </message>
</context>
<context>
    <name>Commissioning</name>
    <message>
        <source>sending failed: %1</source>
        <translation>o envio falhou: %1</translation>
    </message>
    <message>
        <source>%1 is the address of module %2, which answers there</source>
        <translation>%1 é o endereço do módulo %2, que responde ali</translation>
    </message>
</context>
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
    <message>
        <source>searching</source>
        <translation>procurando</translation>
    </message>
    <message>
        <source>at %1</source>
        <translation>em %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>não enviado</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrompido</translation>
    </message>
    <message>
        <source>interrupted: %1 of %2 writes went out (serial numbers %3); not confirmed: %4</source>
        <translation>interrompido: %1 de %2 gravações foram enviadas (números de série %3); não confirmadas: %4</translation>
    </message>
    <message>
        <source>none</source>
        <translation>nenhuma</translation>
    </message>
    <message>
        <source>
these rows were not written; the others were</source>
        <translation>
estas linhas não foram gravadas; as outras foram</translation>
    </message>
    <message>
        <source>
nothing was sent</source>
        <translation>
nada foi enviado</translation>
    </message>
    <message>
        <source>not sent on: the record could not be written</source>
        <translation>envio interrompido: o registro não pôde ser gravado</translation>
    </message>
    <message>
        <source>
nothing more was sent</source>
        <translation>
nada mais foi enviado</translation>
    </message>
    <message>
        <source>rollback takes one record of writes, RECORD.json or RECORD.csv</source>
        <translation>rollback recebe um registro de gravações, REGISTRO.json ou REGISTRO.csv</translation>
    </message>
    <message>
        <source>%1 holds no confirmed write: nothing to undo</source>
        <translation>%1 não tem nenhuma gravação confirmada: nada a desfazer</translation>
    </message>
    <message>
        <source>entry %1: no module with serial number %2 answered</source>
        <translation>item %1: nenhum módulo com número de série %2 respondeu</translation>
    </message>
    <message>
        <source>entry %1</source>
        <translation>item %1</translation>
    </message>
    <message>
        <source>bytes that no field shows</source>
        <translation>bytes que nenhum campo mostra</translation>
    </message>
    <message>
        <source>%1: %2 modules answer at %3 (serial numbers %4); a write to that address would reach either of them</source>
        <translation>%1: %2 módulos respondem em %3 (números de série %4); uma gravação para esse endereço chegaria a qualquer um deles</translation>
    </message>
    <message>
        <source>%1: the module with serial number %2 would go back to %3, which is this computer&apos;s own address now</source>
        <translation>%1: o módulo com número de série %2 voltaria para %3, que agora é o endereço deste computador</translation>
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
  3  bad values or unknown fields (each named by row, column and value), values
     that would cut a module off (see --force), or a plan that cannot be read;
     nothing was sent
  4  two modules would end up with one address; nothing was sent
  5  two modules answer at the address to be written to; nothing was sent
  6  no module answered, fewer than --expect did, or a module named did not;
     nothing was written (with apply --skip-missing the modules that answered
     were written)
  7  UDP port 5001 is held by another program (is the configurator window open?)
  8  no IPv4 network to search
  9  the system refused to send a datagram
 10  the record of writes (--record) cannot be used: nothing was sent; or an
     entry could not be written: nothing more was sent
130  interrupted (Ctrl+C) while writing: the writes that went out and those
     not confirmed are listed
</source>
        <translation>Código de saída:
  0  feito: todo módulo listado, encontrado ou confirmado
  1  não confirmado: uma gravação foi enviada, mas nenhuma resposta trouxe
     exatamente o que foi gravado
  2  linha de comando inválida, ou reset sem --yes
  3  valores inválidos ou campos desconhecidos (cada um indicado por linha,
     coluna e valor), valores que isolariam um módulo da rede (veja --force),
     ou um plano que não pode ser lido; nada foi enviado
  4  dois módulos ficariam com o mesmo endereço; nada foi enviado
  5  dois módulos respondem no endereço a gravar; nada foi enviado
  6  nenhum módulo respondeu, menos do que --expect responderam, ou um módulo
     indicado não respondeu; nada foi gravado (com apply --skip-missing os
     módulos que responderam foram gravados)
  7  a porta UDP 5001 está em uso por outro programa (a janela do configurador
     está aberta?)
  8  nenhuma rede IPv4 para procurar
  9  o sistema recusou o envio de um datagrama
 10  o registro de gravações (--record) não pode ser usado: nada foi enviado; ou
     uma entrada não pôde ser gravada: nada mais foi enviado
130  interrompido (Ctrl+C) durante a gravação: as gravações enviadas e as
     não confirmadas são listadas
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
    <message>
        <source>is not a boolean: 1, true, on, sim or verdadeiro; 0, false, off, não or falso</source>
        <translation>não é um valor lógico: 1, true, on, sim ou verdadeiro; 0, false, off, não ou falso</translation>
    </message>
</context>
<context>
    <name>Missing</name>
    <message>
        <source>%1: no module with serial number %2 answered</source>
        <translation>%1: nenhum módulo com número de série %2 respondeu</translation>
    </message>
    <message>
        <source>%1: no module with address %2 answered</source>
        <translation>%1: nenhum módulo com endereço %2 respondeu</translation>
    </message>
</context>
<context>
    <name>Options</name>
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
        <source>A search ends this long after the last reply (default 500).</source>
        <translation>Uma procura termina este tempo depois da última resposta (padrão 500).</translation>
    </message>
    <message>
        <source>A search ends this long after its request at the latest (default 3000).</source>
        <translation>Uma procura termina no máximo este tempo depois do seu pedido (padrão 3000).</translation>
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
        <source>command [arguments...]</source>
        <translation>comando [argumentos...]</translation>
    </message>
    <message>
        <source>--%1: &apos;%2&apos; is not a whole number from %3 to %4</source>
        <translation>--%1: &apos;%2&apos; não é um número inteiro de %3 a %4</translation>
    </message>
    <message>
        <source>--%1 does not apply to %2</source>
        <translation>--%1 não se aplica a %2</translation>
    </message>
    <message>
        <source>Print CSV for a spreadsheet in a Portuguese locale: &apos;;&apos; and a UTF-8 byte-order mark (Excel opens it as columns; apply reads it back, as it reads a plan that a spreadsheet saved).</source>
        <translation>Escreve CSV para uma planilha em português: &apos;;&apos; e a marca de ordem de bytes UTF-8 (o Excel o abre em colunas; apply o lê de volta, como lê um plano que uma planilha salvou).</translation>
    </message>
    <message>
        <source>Search (or reset) through this interface only: its system name (eth0), or on Windows the name the Network Connections list shows (Ethernet, Wi-Fi).</source>
        <translation>Procura (ou reseta) só por esta interface: o nome dela no sistema (eth0) ou, no Windows, o nome que a lista Conexões de Rede mostra (Ethernet, Wi-Fi).</translation>
    </message>
    <message>
        <source>search: ask again until N modules have answered or the total wait (--timeout-ms, from the first request) ends, then say &quot;N of M&quot; on standard error; fewer than N gives exit status 6.</source>
        <translation>search: pergunta de novo até N módulos responderem ou acabar a espera total (--timeout-ms, a partir do primeiro pedido), depois diz &quot;N de M&quot; na saída de erros; menos de N dá o código de saída 6.</translation>
    </message>
    <message>
        <source>set, apply: write values that would cut a module off all the same (an address that is its subnet&apos;s network or broadcast address, this computer&apos;s or the module&apos;s gateway, a broken mask, a gateway outside the subnet, a serial number that another module carries).</source>
        <translation>set, apply: grava mesmo assim valores que isolariam um módulo da rede (um endereço que é o endereço de rede ou de broadcast da sua sub-rede, o deste computador ou o do gateway do módulo, uma máscara inválida, um gateway fora da sub-rede, um número de série que outro módulo já tem).</translation>
    </message>
    <message>
        <source>%1 exclude each other</source>
        <translation>%1 não podem ser usados juntos</translation>
    </message>
    <message>
        <source> and </source>
        <translation> e </translation>
    </message>
    <message>
        <source>--via: &apos;%1&apos; is not an IPv4 address</source>
        <translation>--via: &apos;%1&apos; não é um endereço IPv4</translation>
    </message>
    <message>
        <source>commission: the address that fresh modules answer from.</source>
        <translation>commission: o endereço em que os módulos novos respondem.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>ARQUIVO</translation>
    </message>
    <message>
        <source>--at: &apos;%1&apos; is not an IPv4 address</source>
        <translation>--at: &apos;%1&apos; não é um endereço IPv4</translation>
    </message>
    <message>
        <source>set, apply, rollback: search and print the writes (with their 65 bytes) instead of sending them.</source>
        <translation>set, apply, rollback: procura e mostra as gravações (com seus 65 bytes) em vez de enviá-las.</translation>
    </message>
    <message>
        <source>set, apply, rollback: a free address (no module may answer there) through which modules that swap addresses move, one module of each cycle first to it and, once confirmed there, on to its new address; one for each cycle (repeatable).</source>
        <translation>set, apply, rollback: um endereço livre (nenhum módulo pode responder nele) por onde passam os módulos que trocam de endereço: um módulo de cada ciclo vai primeiro para ele e, uma vez confirmado lá, para o seu novo endereço; um para cada ciclo (pode repetir).</translation>
    </message>
    <message>
        <source>apply, rollback: write the modules that answered, list the rows whose module did not, and end with status 6.</source>
        <translation>apply, rollback: grava os módulos que responderam, lista as linhas cujo módulo não respondeu e termina com o código 6.</translation>
    </message>
    <message>
        <source>set, apply, commission, rollback: add an entry for each module to this record of writes (.json or .csv), opened before anything is sent; a later run appends, and commission skips the rows it shows confirmed.</source>
        <translation>set, apply, commission, rollback: acrescenta uma entrada para cada módulo a este registro de gravações (.json ou .csv), aberto antes de qualquer envio; uma execução posterior acrescenta ao mesmo arquivo, e o commission pula as linhas que ele mostra confirmadas.</translation>
    </message>
    <message>
        <source>set, apply, commission, rollback: the operator&apos;s name in the record (default: the login name).</source>
        <translation>set, apply, commission, rollback: o nome do operador no registro (padrão: o nome de login).</translation>
    </message>
    <message>
        <source>search, show, set, apply, commission, reset or rollback (see above).</source>
        <translation>search, show, set, apply, commission, reset ou rollback (veja acima).</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (search, show, set, apply, commission, reset or rollback)</source>
        <translation>comando desconhecido &apos;%1&apos; (search, show, set, apply, commission, reset ou rollback)</translation>
    </message>
    <message>
        <source>Finds, shows and configures DUVA Ethernet modules from the command line.

Commands:
  search                      list every module that answers a search
  show ADDRESS | --serial N   print one module&apos;s record
  set ADDRESS | --serial N FIELD=VALUE...
                              write one module and confirm it: search for its record,
                              print what changes, send one write to its address, and
                              search about every 500 ms until a reply carries exactly
                              the record written, for at most the settle time
  apply PLAN.csv | PLAN.json  configure many modules: each row picks a module by
                              serialNumber (or, without one, by its current ipAddress)
                              and gives the fields to change; an empty cell changes
                              nothing. Nothing is sent until every row is valid and
                              every module named has answered. `duvactl search --csv`
                              writes such a plan. A spreadsheet&apos;s CSV is read too:
                              UTF-8 or cp1252, &apos;,&apos; &apos;;&apos; or tab between cells, blanks
                              around cells, and cells that lost the leading zeros of
                              the module&apos;s value (000 saved as 0) change nothing.
  commission PLAN --at ADDRESS
                              give fresh modules, plugged in one at a time and
                              answering at ADDRESS, their rows of the plan: a row with
                              a serialNumber is for that module, the others go out in
                              plan order, and empty cells keep the module&apos;s value.
                              Nothing is written while two modules answer there. Each
                              module is confirmed at its new address; Ctrl+C stops, and
                              the same command with the same --record goes on.
  reset --yes                 broadcast the reset datagram to UDP port 69 on every /24
                              network of the local /16, as the window&apos;s &quot;RST 69&quot;
  rollback RECORD.json | RECORD.csv
                              write back the record each module had before the
                              confirmed writes of a record that --record kept, finding
                              each module by its serial number wherever it answers now,
                              in the same safe order and with the same confirmation as
                              apply; refused before anything is sent where it would
                              put two modules on one address

set, apply, commission and rollback --record FILE.json | FILE.csv add one entry for
each module to the record of writes, on disk before the next module is written: the
time, the operator, the computer, the interface, the program&apos;s version, the plan&apos;s
row, the serial number, the record before and after, the status and the writes sent.
A later run appends to it.

Fields: ipAddress, subnetMask, gateway, dnsServer (A.B.C.D, each 0-255), localPort,
serverPort (0-65535), dhcp, watchdog, autoDisconnect (0/1, true/false, on/off, sim/não
or verdadeiro/falso, in any case), clientMode (client or server; client mode needs a
serverHost), autoDisconnectTime (0-255), firmwareVersion (exactly 3 characters),
serialNumber (0-16777215), serverHost (at most 32 characters); texts in Windows
Latin-1 (cp1252). Search also prints `from`, the address the reply came from, and
`replies`, the most identical replies that came from there to one request: 1 normally;
more when a module answers twice or several modules carry one record. A plan may carry
both columns, which are ignored.

A search goes to the broadcast address of every running IPv4 interface but loopback,
with replies on UDP port 5001. A request&apos;s round ends a quiet period after the last
reply, or at the total wait. It asks again while nobody answered, while a round still
brought new modules, or while a module that the command names is missing: three
requests in all at most. Modules that share an address or a serial number, and replies
that this computer dropped, are warned about on standard error.
</source>
        <translation>Procura, mostra e configura módulos Ethernet DUVA pela linha de comando.

Comandos:
  search                      lista todo módulo que responde a uma procura
  show ENDEREÇO | --serial N  mostra o registro de um módulo
  set ENDEREÇO | --serial N CAMPO=VALOR...
                              grava um módulo e o confirma: procura o registro dele,
                              mostra o que muda, envia uma gravação ao endereço dele e
                              procura cerca de a cada 500 ms até que uma resposta traga
                              exatamente o registro gravado, no máximo pelo tempo de
                              estabilização
  apply PLANO.csv | PLANO.json
                              configura muitos módulos: cada linha escolhe um módulo
                              pelo serialNumber (ou, sem ele, pelo ipAddress atual) e
                              dá os campos a mudar; uma célula vazia não muda nada.
                              Nada é enviado antes que toda linha seja válida e todo
                              módulo indicado tenha respondido. `duvactl search --csv`
                              escreve um plano assim. O CSV de uma planilha também é
                              lido: UTF-8 ou cp1252, &apos;,&apos; &apos;;&apos; ou tabulação entre as
                              células, espaços em volta das células, e células que
                              perderam os zeros à esquerda do valor do módulo (000
                              salvo como 0) não mudam nada.
  commission PLANO --at ENDEREÇO
                              dá a módulos novos, ligados um de cada vez e respondendo
                              em ENDEREÇO, as suas linhas do plano: uma linha com
                              serialNumber é para esse módulo, as outras saem na ordem
                              do plano, e células vazias mantêm o valor do módulo.
                              Nada é gravado enquanto dois módulos respondem ali. Cada
                              módulo é confirmado no novo endereço; Ctrl+C para, e o
                              mesmo comando com o mesmo --record continua.
  reset --yes                 envia em broadcast o datagrama de reset para a porta
                              UDP 69 em toda rede /24 da /16 local, como o &quot;RST 69&quot;
                              da janela
  rollback REGISTRO.json | REGISTRO.csv
                              grava de volta o registro que cada módulo tinha antes
                              das gravações confirmadas de um registro que --record
                              guardou, achando cada módulo pelo número de série onde
                              quer que ele responda agora, na mesma ordem segura e com
                              a mesma confirmação do apply; recusado antes de qualquer
                              envio quando poria dois módulos no mesmo endereço

set, apply, commission e rollback --record ARQUIVO.json | ARQUIVO.csv acrescentam uma
entrada para cada módulo ao registro de gravações, no disco antes que o próximo módulo
seja gravado: a hora, o operador, o computador, a interface, a versão do programa, a linha do plano,
o número de série, o registro antes e depois, o estado e as gravações enviadas. Uma
execução posterior acrescenta ao mesmo arquivo.

Campos: ipAddress, subnetMask, gateway, dnsServer (A.B.C.D, cada um de 0 a 255),
localPort, serverPort (0-65535), dhcp, watchdog, autoDisconnect (0/1, true/false,
on/off, sim/não ou verdadeiro/falso, em maiúsculas ou minúsculas), clientMode (client
ou server; o modo cliente precisa de um serverHost), autoDisconnectTime (0-255),
firmwareVersion (exatamente 3 caracteres), serialNumber (0-16777215), serverHost (no
máximo 32 caracteres); textos em Windows Latin-1 (cp1252). A procura também mostra
`from`, o endereço de onde veio a resposta, e `replies`, o maior número de respostas
idênticas vindas de lá a um só pedido: 1 normalmente; mais quando um módulo responde
duas vezes ou vários módulos têm o mesmo registro. Um plano pode trazer as duas
colunas, que são ignoradas.

Uma procura vai para o endereço de broadcast de toda interface IPv4 ativa, exceto a
de loopback, com as respostas na porta UDP 5001. A rodada de um pedido termina após
um período de silêncio depois da última resposta, ou ao fim da espera total. Ela
pergunta de novo enquanto ninguém respondeu, enquanto uma rodada ainda trouxe módulos
novos, ou enquanto falta um módulo que o comando indica: três pedidos ao todo, no
máximo. Módulos com o mesmo endereço ou o mesmo número de série, e respostas que este
computador descartou, são avisados na saída de erros.
</translation>
    </message>
    <message>
        <source>set, apply, commission, rollback: the longest wait for a module to show what was written, searching about every 500 ms (default 6000).</source>
        <translation>set, apply, commission, rollback: a espera mais longa para que um módulo mostre o que foi gravado, procurando cerca de a cada 500 ms (padrão 6000).</translation>
    </message>
    <message>
        <source>no command given (search, show, set, apply, commission, reset or rollback)</source>
        <translation>nenhum comando dado (search, show, set, apply, commission, reset ou rollback)</translation>
    </message>
</context>
<context>
    <name>OrderedWrites</name>
    <message>
        <source>--via %1 is given twice</source>
        <translation>--via %1 foi dado duas vezes</translation>
    </message>
    <message>
        <source>--via %1: the module with serial number %2 answers there; a temporary address must be free</source>
        <translation>--via %1: o módulo com número de série %2 responde nele; um endereço temporário precisa estar livre</translation>
    </message>
    <message>
        <source>--via %1 is the new address of the module with serial number %2 (%3)</source>
        <translation>--via %1 é o novo endereço do módulo com número de série %2 (%3)</translation>
    </message>
    <message>
        <source>the modules with serial numbers %1 (%2) move onto one another&apos;s addresses in a cycle (%3): a write to one would reach another that has just moved there</source>
        <translation>os módulos com números de série %1 (%2) passam para os endereços uns dos outros em ciclo (%3): uma gravação para um chegaria a outro que acabou de ir para lá</translation>
    </message>
    <message>
        <source>give a free temporary address with --via A.B.C.D (%1 needed, one for each cycle; %2 given)</source>
        <translation>dê um endereço temporário livre com --via A.B.C.D (%1 necessários, um para cada ciclo; %2 dados)</translation>
    </message>
    <message>
        <source>Order of the writes (each module is written before another moves onto its address):</source>
        <translation>Ordem das gravações (cada módulo é gravado antes que outro passe para o endereço dele):</translation>
    </message>
    <message>
        <source>then, once each is confirmed at its temporary address:</source>
        <translation>depois, quando cada um estiver confirmado no seu endereço temporário:</translation>
    </message>
    <message>
        <source>(temporary)</source>
        <translation>(temporário)</translation>
    </message>
    <message>
        <source>left at the temporary address %1: %2, which held %3, is not confirmed gone</source>
        <translation>deixado no endereço temporário %1: não está confirmado que %2, que estava em %3, saiu de lá</translation>
    </message>
    <message>
        <source>not sent again from %1: %2, which held %3, is not confirmed gone</source>
        <translation>não enviado de novo de %1: não está confirmado que %2, que estava em %3, saiu de lá</translation>
    </message>
    <message>
        <source>not sent again: %1 was given to %2</source>
        <translation>não enviado de novo: %1 foi dado a %2</translation>
    </message>
    <message>
        <source>confirming</source>
        <translation>confirmando</translation>
    </message>
    <message>
        <source>not confirmed at the temporary address %1, so not written from there</source>
        <translation>não confirmado no endereço temporário %1, por isso não foi gravado a partir dele</translation>
    </message>
    <message>
        <source>it did not come from its temporary address</source>
        <translation>não saiu do seu endereço temporário</translation>
    </message>
    <message>
        <source>%1. %2 at %3 -&gt; %4%5</source>
        <translation>%1. %2 em %3 -&gt; %4%5</translation>
    </message>
    <message>
        <source>Sent %1 write again; confirming it as soon as the module shows it, within %2 ms.</source>
        <translation>Enviada %1 gravação de novo; confirmando-a assim que o módulo a mostrar, em até %2 ms.</translation>
    </message>
    <message>
        <source>Sent %1 write; confirming it as soon as the module shows it, within %2 ms.</source>
        <translation>Enviada %1 gravação; confirmando-a assim que o módulo a mostrar, em até %2 ms.</translation>
    </message>
    <message>
        <source>Sent %1 writes again; confirming each as soon as its module shows it, within %2 ms.</source>
        <translation>Enviadas %1 gravações de novo; confirmando cada uma assim que o módulo a mostrar, em até %2 ms.</translation>
    </message>
    <message>
        <source>Sent %1 writes; confirming each as soon as its module shows it, within %2 ms.</source>
        <translation>Enviadas %1 gravações; confirmando cada uma assim que o módulo a mostrar, em até %2 ms.</translation>
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
    <message>
        <source>(--force writes such values all the same)</source>
        <translation>(--force grava esses valores mesmo assim)</translation>
    </message>
</context>
<context>
    <name>Rollback</name>
    <message>
        <source>at %1</source>
        <translation>em %1</translation>
    </message>
    <message>
        <source>%1 modules carry serial number %2 (at %3): which one to put back cannot be told</source>
        <translation>%1 módulos têm o número de série %2 (em %3): não há como saber qual deles restaurar</translation>
    </message>
    <message>
        <source>the rollback would give modules %1 one address, %2</source>
        <translation>o rollback daria aos módulos %1 um mesmo endereço, %2</translation>
    </message>
    <message>
        <source>the rollback would give modules %1 one serial number, %2</source>
        <translation>o rollback daria aos módulos %1 um mesmo número de série, %2</translation>
    </message>
</context>
<context>
    <name>SearchReport</name>
    <message>
        <source>warning: %1 modules share the address %2 (serial numbers %3); a write to it reaches all of them</source>
        <translation>aviso: %1 módulos têm o mesmo endereço %2 (números de série %3); uma gravação para ele chega a todos eles</translation>
    </message>
    <message>
        <source>warning: %1 modules share the serial number %2 (at %3); a plan cannot tell them apart</source>
        <translation>aviso: %1 módulos têm o mesmo número de série %2 (em %3); um plano não consegue distingui-los</translation>
    </message>
    <message>
        <source>warning: %1 identical replies to one request came from %2 (serial number %3): one module answering more than once, or several modules with one record</source>
        <translation>aviso: %1 respostas idênticas a um só pedido vieram de %2 (número de série %3): um módulo respondendo mais de uma vez, ou vários módulos com o mesmo registro</translation>
    </message>
    <message>
        <source>warning: %1 reply was dropped by this computer: its receive buffer (%2 KiB) was full. Search again, or let it take more (Linux: sysctl net.core.rmem_max=4194304, or run as root)</source>
        <translation>aviso: %1 resposta foi descartada por este computador: o buffer de recepção dele (%2 KiB) estava cheio. Procure de novo, ou deixe-o receber mais (Linux: sysctl net.core.rmem_max=4194304, ou execute como root)</translation>
    </message>
    <message>
        <source>warning: %1 replies were dropped by this computer: its receive buffer (%2 KiB) was full. Search again, or let it take more (Linux: sysctl net.core.rmem_max=4194304, or run as root)</source>
        <translation>aviso: %1 respostas foram descartadas por este computador: o buffer de recepção dele (%2 KiB) estava cheio. Procure de novo, ou deixe-o receber mais (Linux: sysctl net.core.rmem_max=4194304, ou execute como root)</translation>
    </message>
    <message>
        <source>%1 of %2 expected modules answered</source>
        <translation>%1 de %2 módulos esperados responderam</translation>
    </message>
    <message>
        <source>%1 through %2, this computer being %3/%4</source>
        <translation>%1 pela interface %2, sendo este computador %3/%4</translation>
    </message>
    <message>
        <source>no module answered (searched %1). Check that the modules are powered and connected to this computer&apos;s own subnet (a module in another subnet answers no broadcast; --network or --extended reach further), and that no firewall blocks the modules&apos; UDP replies to port 5001 or the search to their port %2</source>
        <translation>nenhum módulo respondeu (redes procuradas: %1). Verifique se os módulos estão ligados e conectados à própria sub-rede deste computador (um módulo em outra sub-rede não responde a nenhum broadcast; --network ou --extended vão mais longe) e se nenhum firewall bloqueia as respostas UDP dos módulos para a porta 5001 ou a procura para a porta %2 deles</translation>
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
<context>
    <name>ValueChecks</name>
    <message>
        <source>is 0.0.0.0, which means no address</source>
        <translation>é 0.0.0.0, que significa nenhum endereço</translation>
    </message>
    <message>
        <source>lies in 0.0.0.0/8, which no datagram can reach</source>
        <translation>está em 0.0.0.0/8, que nenhum datagrama alcança</translation>
    </message>
    <message>
        <source>is a loopback address (127.0.0.0/8), which never leaves the module</source>
        <translation>é um endereço de loopback (127.0.0.0/8), que nunca sai do módulo</translation>
    </message>
    <message>
        <source>is a multicast address (224.0.0.0/4), which no module can hold</source>
        <translation>é um endereço de multicast (224.0.0.0/4), que nenhum módulo pode ter</translation>
    </message>
    <message>
        <source>is 255.255.255.255, the broadcast address of every network</source>
        <translation>é 255.255.255.255, o endereço de broadcast de todas as redes</translation>
    </message>
    <message>
        <source>is this computer&apos;s own address</source>
        <translation>é o próprio endereço deste computador</translation>
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
        <source>%1, %2 %3: &apos;%4&apos; %5</source>
        <translation>%1, %2 %3: &apos;%4&apos; %5</translation>
    </message>
    <message>
        <source>has ones that are not contiguous: a subnet mask is ones followed by zeros, such as 255.255.255.0</source>
        <translation>tem uns que não são contíguos: uma máscara de sub-rede é uns seguidos de zeros, como 255.255.255.0</translation>
    </message>
    <message>
        <source>is the network address of its subnet %1</source>
        <translation>é o endereço de rede da sua sub-rede %1</translation>
    </message>
    <message>
        <source>is the broadcast address of its subnet %1</source>
        <translation>é o endereço de broadcast da sua sub-rede %1</translation>
    </message>
    <message>
        <source>makes the module&apos;s ipAddress %1 the network address of its subnet %2</source>
        <translation>faz do ipAddress %1 do módulo o endereço de rede da sua sub-rede %2</translation>
    </message>
    <message>
        <source>makes the module&apos;s ipAddress %1 the broadcast address of its subnet %2</source>
        <translation>faz do ipAddress %1 do módulo o endereço de broadcast da sua sub-rede %2</translation>
    </message>
    <message>
        <source>is the module&apos;s own gateway</source>
        <translation>é o próprio gateway do módulo</translation>
    </message>
    <message>
        <source>is the module&apos;s own ipAddress</source>
        <translation>é o próprio ipAddress do módulo</translation>
    </message>
    <message>
        <source>lies outside the module&apos;s subnet %1</source>
        <translation>está fora da sub-rede %1 do módulo</translation>
    </message>
    <message>
        <source>puts the gateway %1 outside the module&apos;s subnet %2</source>
        <translation>deixa o gateway %1 fora da sub-rede %2 do módulo</translation>
    </message>
    <message>
        <source>the module at %1</source>
        <translation>o módulo em %1</translation>
    </message>
    <message>
        <source>the module at %1 (%2)</source>
        <translation>o módulo em %1 (%2)</translation>
    </message>
    <message>
        <source>is also the serial number of %1; modules that share one cannot be told apart</source>
        <translation>também é o número de série de %1; módulos com o mesmo número não podem ser distinguidos</translation>
    </message>
</context>
<context>
    <name>WriteRecord</name>
    <message>
        <source>an entry&apos;s time, planRow, serialNumber, status or writesSent cannot be read</source>
        <translation>não foi possível ler time, planRow, serialNumber, status ou writesSent de um item</translation>
    </message>
    <message>
        <source>not JSON: %1 at byte %2</source>
        <translation>não é JSON: %1 no byte %2</translation>
    </message>
    <message>
        <source>not a record of writes (no &quot;format&quot;: &quot;%1&quot; with &quot;entries&quot;)</source>
        <translation>não é um registro de gravações (não há &quot;format&quot;: &quot;%1&quot; com &quot;entries&quot;)</translation>
    </message>
    <message>
        <source>a record of version %1, which this version of the program does not read</source>
        <translation>um registro da versão %1, que esta versão do programa não lê</translation>
    </message>
    <message>
        <source>entry %1: %2</source>
        <translation>item %1: %2</translation>
    </message>
    <message>
        <source>not a record of writes (the first line is not its header)</source>
        <translation>não é um registro de gravações (a primeira linha não é o seu cabeçalho)</translation>
    </message>
    <message>
        <source>it has %1 cells, not %2</source>
        <translation>tem %1 células, não %2</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>linha %1: %2</translation>
    </message>
    <message>
        <source>%1: a record is a .json or a .csv file</source>
        <translation>%1: um registro é um arquivo .json ou .csv</translation>
    </message>
    <message>
        <source>%1: another run is writing this record</source>
        <translation>%1: outra execução está gravando neste registro</translation>
    </message>
    <message>
        <source>%1: cannot make %1.lock</source>
        <translation>%1: não foi possível criar %1.lock</translation>
    </message>
    <message>
        <source>%1: %2; it is left as it is</source>
        <translation>%1: %2; ele fica como está</translation>
    </message>
    <message>
        <source>%1: entry %2 is not one this run wrote</source>
        <translation>%1: o item %2 não foi gravado por esta execução</translation>
    </message>
    <message>
        <source>%1: the record could not be written: %2</source>
        <translation>%1: não foi possível gravar o registro: %2</translation>
    </message>
</context>
</TS>
