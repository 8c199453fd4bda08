<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>CommissioningModel</name>
    <message>
        <source>Serial number</source>
        <translation>Número de série</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Endereço</translation>
    </message>
    <message>
        <source>Plan row</source>
        <translation>Linha do plano</translation>
    </message>
    <message>
        <source>Confirmed at</source>
        <translation>Confirmado às</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>Segundos</translation>
    </message>
</context>
<context>
    <name>CommissioningPlan</name>
    <message>
        <source>%1: cannot read: %2</source>
        <translation>%1: não foi possível ler: %2</translation>
    </message>
    <message>
        <source>The plan names no module.</source>
        <translation>O plano não indica nenhum módulo.</translation>
    </message>
</context>
<context>
    <name>CommissioningTab</name>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Iniciar</translation>
    </message>
    <message>
        <source>St&amp;op</source>
        <translation>&amp;Parar</translation>
    </message>
    <message>
        <source>Factory address</source>
        <translation>Endereço de fábrica</translation>
    </message>
    <message>
        <source>The address that fresh modules answer from, such as 192.168.0.10</source>
        <translation>O endereço de onde os módulos novos respondem, como 192.168.0.10</translation>
    </message>
    <message>
        <source>Plan file</source>
        <translation>Arquivo do plano</translation>
    </message>
    <message>
        <source>A plan, CSV or JSON</source>
        <translation>Um plano, CSV ou JSON</translation>
    </message>
    <message>
        <source>Record file</source>
        <translation>Arquivo de registro</translation>
    </message>
    <message>
        <source>Beside the plan</source>
        <translation>Ao lado do plano</translation>
    </message>
    <message>
        <source>&amp;Browse…</source>
        <translation>Pro&amp;curar…</translation>
    </message>
    <message>
        <source>Choose the plan file</source>
        <translation>Escolher o arquivo do plano</translation>
    </message>
    <message>
        <source>Bro&amp;wse…</source>
        <translation>Pr&amp;ocurar…</translation>
    </message>
    <message>
        <source>Choose the record file</source>
        <translation>Escolher o arquivo de registro</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Iniciar</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Situação</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalhes</translation>
    </message>
    <message>
        <source>Modules done</source>
        <translation>Módulos concluídos</translation>
    </message>
    <message>
        <source>Factory &amp;address:</source>
        <translation>&amp;Endereço de fábrica:</translation>
    </message>
    <message>
        <source>Pla&amp;n:</source>
        <translation>Pla&amp;no:</translation>
    </message>
    <message>
        <source>Record f&amp;ile:</source>
        <translation>Arquivo de re&amp;gistro:</translation>
    </message>
    <message>
        <source>Modules &amp;done:</source>
        <translation>Módulos concl&amp;uídos:</translation>
    </message>
    <message>
        <source>Commissioning is off</source>
        <translation>O comissionamento está desligado</translation>
    </message>
    <message>
        <source>Choose the plan, then Start</source>
        <translation>Escolha o plano e depois Iniciar</translation>
    </message>
    <message>
        <source>Choose the plan</source>
        <translation>Escolher o plano</translation>
    </message>
    <message>
        <source>Plans (*.csv *.json);;All files (*)</source>
        <translation>Planos (*.csv *.json);;Todos os arquivos (*)</translation>
    </message>
    <message>
        <source>Records (*.json *.csv)</source>
        <translation>Registros (*.json *.csv)</translation>
    </message>
    <message>
        <source>Not started</source>
        <translation>Não iniciado</translation>
    </message>
    <message>
        <source>The factory address is four numbers from 0 to 255, such as 192.168.0.10.</source>
        <translation>O endereço de fábrica são quatro números de 0 a 255, como 192.168.0.10.</translation>
    </message>
    <message>
        <source>Choose the plan file first.</source>
        <translation>Escolha antes o arquivo do plano.</translation>
    </message>
    <message>
        <source>%1: %2
Nothing was written.</source>
        <translation>%1: %2
Nada foi gravado.</translation>
    </message>
    <message>
        <source>A search is under way in Modules: start when it ends.</source>
        <translation>Há uma procura em andamento em Módulos: inicie quando ela terminar.</translation>
    </message>
    <message>
        <source>No network adapter is connected.</source>
        <translation>Nenhum adaptador de rede está conectado.</translation>
    </message>
    <message numerus="yes">
        <source>The record shows %n row(s) confirmed already; they are skipped.</source>
        <translation>
            <numerusform>O registro mostra %n linha já confirmada; ela é pulada.</numerusform>
            <numerusform>O registro mostra %n linhas já confirmadas; elas são puladas.</numerusform>
        </translation>
    </message>
    <message>
        <source>Connect the next module</source>
        <translation>Conecte o próximo módulo</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) left.</source>
        <translation>
            <numerusform>Falta %n linha.</numerusform>
            <numerusform>Faltam %n linhas.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: the record could not be written: %2; nothing more is sent</source>
        <translation>%1: o registro não pôde ser gravado: %2; nada mais é enviado</translation>
    </message>
    <message>
        <source>Two modules answer at %1: leave only one connected</source>
        <translation>Dois módulos respondem em %1: deixe só um conectado</translation>
    </message>
    <message>
        <source>%1 modules answer at %2: leave only one connected</source>
        <translation>%1 módulos respondem em %2: deixe só um conectado</translation>
    </message>
    <message>
        <source>Serial numbers %1. Nothing is written while more than one answers.</source>
        <translation>Números de série %1. Nada é gravado enquanto mais de um responder.</translation>
    </message>
    <message>
        <source>%1: no row of the plan is left for it; it is left as it is.</source>
        <translation>%1: não resta nenhuma linha do plano para ele; fica como está.</translation>
    </message>
    <message>
        <source>%1 is not given %2: %3</source>
        <translation>%1 não recebe %2: %3</translation>
    </message>
    <message>
        <source>Writing %1 → %2</source>
        <translation>Gravando %1 → %2</translation>
    </message>
    <message>
        <source>%1, write %2</source>
        <translation>%1, gravação %2</translation>
    </message>
    <message>
        <source>Confirmed</source>
        <translation>Confirmado</translation>
    </message>
    <message>
        <source>%1 at %2. Connect the next module: %3</source>
        <translation>%1 em %2. Conecte o próximo módulo: %3</translation>
    </message>
    <message>
        <source>%1 at %2.</source>
        <translation>%1 em %2.</translation>
    </message>
    <message>
        <source>Not confirmed</source>
        <translation>Não confirmado</translation>
    </message>
    <message>
        <source>%1 did not show its new address %2; it keeps its row if it answers again at %3.</source>
        <translation>%1 não mostrou seu novo endereço %2; mantém sua linha se responder de novo em %3.</translation>
    </message>
    <message>
        <source>%1 was not confirmed after %2 writes; it is not written again, and its row goes to the next module.</source>
        <translation>%1 não foi confirmado após %2 gravações; não é gravado de novo, e sua linha vai para o próximo módulo.</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Parado</translation>
    </message>
    <message numerus="yes">
        <source>%n module(s) confirmed in this run.</source>
        <translation>
            <numerusform>%n módulo confirmado nesta execução.</numerusform>
            <numerusform>%n módulos confirmados nesta execução.</numerusform>
        </translation>
    </message>
    <message>
        <source>Start again with the same plan and record to go on.</source>
        <translation>Inicie de novo com o mesmo plano e registro para continuar.</translation>
    </message>
    <message>
        <source>Every row is done, but not every module was confirmed</source>
        <translation>Todas as linhas foram feitas, mas nem todo módulo foi confirmado</translation>
    </message>
    <message>
        <source>Every module is done</source>
        <translation>Todos os módulos estão prontos</translation>
    </message>
    <message>
        <source>%1: the record could not be written: %2</source>
        <translation>%1: o registro não pôde ser gravado: %2</translation>
    </message>
</context>
<context>
    <name>Duplicates</name>
    <message>
        <source>The address %1 is also held by serial number %2: only one module can be reached at an address.</source>
        <translation>O endereço %1 também é usado pelo número de série %2: só um módulo pode ser alcançado em um endereço.</translation>
    </message>
    <message>
        <source>The serial number %1 is also held by the module at %2: a plan cannot tell them apart.</source>
        <translation>O número de série %1 também é usado pelo módulo em %2: um plano não consegue distingui-los.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Parts of the window</source>
        <translation>Partes da janela</translation>
    </message>
    <message>
        <source>Modules</source>
        <translation>Módulos</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plano</translation>
    </message>
    <message>
        <source>Commissioning</source>
        <translation>Comissionamento</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <source>&amp;Modules</source>
        <translation>&amp;Módulos</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Registro</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>&amp;Plan</source>
        <translation>&amp;Plano</translation>
    </message>
    <message>
        <source>Closing once the writes under way end…</source>
        <translation>Fechando assim que as gravações em andamento terminarem…</translation>
    </message>
</context>
<context>
    <name>ModulesModel</name>
    <message>
        <source>neither</source>
        <translation>nenhum</translation>
    </message>
</context>
<context>
    <name>ModulesTab</name>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Procurar</translation>
    </message>
    <message>
        <source>Search for modules through the adapter chosen (%1)</source>
        <translation>Procurar módulos pelo adaptador escolhido (%1)</translation>
    </message>
    <message>
        <source>Cance&amp;l</source>
        <translation>Ca&amp;ncelar</translation>
    </message>
    <message>
        <source>Export CS&amp;V...</source>
        <translation>Exportar CS&amp;V...</translation>
    </message>
    <message>
        <source>Export for E&amp;xcel...</source>
        <translation>Exportar para E&amp;xcel...</translation>
    </message>
    <message>
        <source>&amp;Filter</source>
        <translation>&amp;Filtrar</translation>
    </message>
    <message>
        <source>Every adapter</source>
        <translation>Todos os adaptadores</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adaptador</translation>
    </message>
    <message>
        <source>&amp;Adapter:</source>
        <translation>A&amp;daptador:</translation>
    </message>
    <message>
        <source>Filter the modules shown</source>
        <translation>Filtrar os módulos mostrados</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtro</translation>
    </message>
    <message>
        <source>Modules found</source>
        <translation>Módulos encontrados</translation>
    </message>
    <message>
        <source>Search status</source>
        <translation>Situação da procura</translation>
    </message>
    <message>
        <source>Searching (request %1 of %2)...</source>
        <translation>Procurando (pedido %1 de %2)...</translation>
    </message>
    <message>
        <source>No network: no adapter but loopback is up with an IPv4 address.</source>
        <translation>Sem rede: nenhum adaptador além do loopback está ativo com um endereço IPv4.</translation>
    </message>
    <message>
        <source>The search could not be sent: %1</source>
        <translation>A procura não pôde ser enviada: %1</translation>
    </message>
    <message>
        <source>No module answered.</source>
        <translation>Nenhum módulo respondeu.</translation>
    </message>
    <message>
        <source>Export for Excel</source>
        <translation>Exportar para Excel</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exportar CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Arquivos CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <source>Modules found: %1.</source>
        <translation>Módulos encontrados: %1.</translation>
    </message>
    <message>
        <source>Modules shown: %1 of %2.</source>
        <translation>Módulos mostrados: %1 de %2.</translation>
    </message>
    <message>
        <source>Marked, sharing an address or a serial number: %1.</source>
        <translation>Marcados, com endereço ou número de série repetido: %1.</translation>
    </message>
    <message>
        <source>Modules exported to %1: %2.</source>
        <translation>Módulos exportados para %1: %2.</translation>
    </message>
</context>
<context>
    <name>PlanDelegate</name>
    <message>
        <source>address, as 10.0.0.21</source>
        <translation>endereço, como 10.0.0.21</translation>
    </message>
    <message>
        <source>whole number</source>
        <translation>número inteiro</translation>
    </message>
    <message>
        <source>1 or 0</source>
        <translation>1 ou 0</translation>
    </message>
    <message>
        <source>client or server</source>
        <translation>client ou server</translation>
    </message>
    <message>
        <source>text</source>
        <translation>texto</translation>
    </message>
</context>
<context>
    <name>PlanTab</name>
    <message>
        <source>Plans (*.csv *.json);;All files (*)</source>
        <translation>Planos (*.csv *.json);;Todos os arquivos (*)</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Aplicar</translation>
    </message>
    <message>
        <source>No plan open.</source>
        <translation>Nenhum plano aberto.</translation>
    </message>
    <message>
        <source>&amp;Open plan...</source>
        <translation>&amp;Abrir plano...</translation>
    </message>
    <message>
        <source>Plan from modules &amp;found</source>
        <translation>Plano dos módulos &amp;encontrados</translation>
    </message>
    <message>
        <source>&amp;Save plan...</source>
        <translation>&amp;Salvar plano...</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message>
        <source>Plan</source>
        <translation>Plano</translation>
    </message>
    <message>
        <source>Refused cells</source>
        <translation>Células recusadas</translation>
    </message>
    <message>
        <source>Plan status</source>
        <translation>Situação do plano</translation>
    </message>
    <message numerus="yes">
        <source>Plan %1: %n module(s).</source>
        <translation>
            <numerusform>Plano %1: %n módulo.</numerusform>
            <numerusform>Plano %1: %n módulos.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A plan of the %n module(s) found, with their current values.</source>
        <translation>
            <numerusform>Um plano do %n módulo encontrado, com seus valores atuais.</numerusform>
            <numerusform>Um plano dos %n módulos encontrados, com seus valores atuais.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open plan</source>
        <translation>Abrir plano</translation>
    </message>
    <message>
        <source>%1 is not opened:
%2</source>
        <translation>%1 não foi aberto:
%2</translation>
    </message>
    <message>
        <source>Save plan</source>
        <translation>Salvar plano</translation>
    </message>
    <message>
        <source>%1 is not saved: %2</source>
        <translation>%1 não foi salvo: %2</translation>
    </message>
    <message>
        <source>S&amp;kip modules that do not answer</source>
        <translation>&amp;Pular módulos que não respondem</translation>
    </message>
    <message>
        <source>Search, then write each module as the plan says, in a safe order</source>
        <translation>Procura e depois grava cada módulo como o plano diz, numa ordem segura</translation>
    </message>
    <message>
        <source>Temporary address</source>
        <translation>Endereço temporário</translation>
    </message>
    <message>
        <source>A free address through which two modules swap addresses, such as 10.77.0.200; one for each swap</source>
        <translation>Um endereço livre pelo qual dois módulos trocam de endereço, como 10.77.0.200; um para cada troca</translation>
    </message>
    <message>
        <source>Skip modules that do not answer</source>
        <translation>Pular módulos que não respondem</translation>
    </message>
    <message>
        <source>&amp;Temporary address:</source>
        <translation>Endereço &amp;temporário:</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Nada foi gravado.</translation>
    </message>
    <message>
        <source>Cells that would be refused: %1. Correct the marked cells first.</source>
        <translation>Células que seriam recusadas: %1. Corrija antes as células marcadas.</translation>
    </message>
    <message>
        <source>Temporary address: &apos;%1&apos; is not an IPv4 address such as 10.0.0.250.</source>
        <translation>Endereço temporário: &apos;%1&apos; não é um endereço IPv4 como 10.0.0.250.</translation>
    </message>
    <message>
        <source>No record of writes chosen.</source>
        <translation>Nenhum registro de gravações escolhido.</translation>
    </message>
    <message>
        <source>Searching for the plan&apos;s modules…</source>
        <translation>Procurando os módulos do plano…</translation>
    </message>
</context>
<context>
    <name>PortMessage</name>
    <message>
        <source>UDP port %1 of this computer is taken by another program, so the modules&apos; replies cannot reach Frota DUVA and searching is off. Close the DUVA Module Configurator window and any duvactl command that is running (only one of them can use the port at a time), then start Frota DUVA again.</source>
        <translation>A porta UDP %1 deste computador está ocupada por outro programa, então as respostas dos módulos não chegam ao Frota DUVA e a procura está desligada. Feche a janela do Configurador Módulos DUVA e qualquer comando duvactl em execução (só um deles pode usar a porta de cada vez) e abra o Frota DUVA novamente.</translation>
    </message>
</context>
<context>
    <name>RecordModel</name>
    <message>
        <source>confirmed</source>
        <translation>confirmado</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>não confirmado</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>recusado</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>pulado</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operador</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Número de série</translation>
    </message>
    <message>
        <source>Address before</source>
        <translation>Endereço antes</translation>
    </message>
    <message>
        <source>Address after</source>
        <translation>Endereço depois</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Situação</translation>
    </message>
    <message>
        <source>Writes sent</source>
        <translation>Gravações enviadas</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Motivo</translation>
    </message>
</context>
<context>
    <name>RecordReport</name>
    <message>
        <source>Commissioning report</source>
        <translation>Relatório de comissionamento</translation>
    </message>
    <message>
        <source>the PDF could not be started</source>
        <translation>o PDF não pôde ser iniciado</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Página %1</translation>
    </message>
    <message>
        <source>Site:</source>
        <translation>Local:</translation>
    </message>
    <message>
        <source>Operator:</source>
        <translation>Operador:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>Modules:</source>
        <translation>Módulos:</translation>
    </message>
    <message>
        <source>the PDF could not be finished</source>
        <translation>o PDF não pôde ser concluído</translation>
    </message>
</context>
<context>
    <name>RecordTab</name>
    <message>
        <source>No record open.</source>
        <translation>Nenhum registro aberto.</translation>
    </message>
    <message>
        <source>&amp;Open record...</source>
        <translation>A&amp;brir registro...</translation>
    </message>
    <message>
        <source>Export record as CS&amp;V...</source>
        <translation>Exportar registro como CS&amp;V...</translation>
    </message>
    <message>
        <source>Export record as &amp;JSON...</source>
        <translation>Exportar registro como &amp;JSON...</translation>
    </message>
    <message>
        <source>&amp;Print report (PDF)...</source>
        <translation>&amp;Imprimir relatório (PDF)...</translation>
    </message>
    <message>
        <source>Site name</source>
        <translation>Nome do local</translation>
    </message>
    <message>
        <source>Where the modules were commissioned</source>
        <translation>Onde os módulos foram comissionados</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operador</translation>
    </message>
    <message>
        <source>Record file</source>
        <translation>Arquivo de registro</translation>
    </message>
    <message>
        <source>Record entries</source>
        <translation>Entradas do registro</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Local:</translation>
    </message>
    <message>
        <source>O&amp;perator:</source>
        <translation>&amp;Operador:</translation>
    </message>
    <message>
        <source>Open record</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Records (*.json *.csv)</source>
        <translation>Registros (*.json *.csv)</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2</source>
        <translation>%1 não pôde ser aberto: %2</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Arquivos PDF (*.pdf)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>Arquivos JSON (*.json)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Arquivos CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export record</source>
        <translation>Exportar registro</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 não pôde ser gravado: %2</translation>
    </message>
    <message>
        <source>%1 (entries: %2)</source>
        <translation>%1 (entradas: %2)</translation>
    </message>
    <message>
        <source>&amp;Undo changes...</source>
        <translation>&amp;Desfazer alterações...</translation>
    </message>
    <message>
        <source>Put every module of the record back as it was before its write</source>
        <translation>Devolve cada módulo do registro ao que era antes da gravação</translation>
    </message>
    <message>
        <source>Undo status</source>
        <translation>Situação do desfazer</translation>
    </message>
    <message>
        <source>Keep the writes in a record</source>
        <translation>Guardar as gravações num registro</translation>
    </message>
    <message>
        <source>Undo changes</source>
        <translation>Desfazer alterações</translation>
    </message>
    <message>
        <source>The record holds no confirmed write: nothing to undo.</source>
        <translation>O registro não tem gravação confirmada: nada a desfazer.</translation>
    </message>
    <message>
        <source>Put these modules back as they were?</source>
        <translation>Devolver estes módulos ao que eram?</translation>
    </message>
    <message>
        <source>%1: already as it was</source>
        <translation>%1: já está como era</translation>
    </message>
    <message>
        <source>Searching for the record&apos;s modules…</source>
        <translation>Procurando os módulos do registro…</translation>
    </message>
</context>
<context>
    <name>WriteProgress</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Writes confirmed</source>
        <translation>Gravações confirmadas</translation>
    </message>
    <message>
        <source>%v of %m</source>
        <translation>%v de %m</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Stop before the next write; the writes already out are said</source>
        <translation>Para antes da próxima gravação; as gravações já enviadas são informadas</translation>
    </message>
</context>
<context>
    <name>WriteRun</name>
    <message>
        <source>Nothing was written.</source>
        <translation>Nada foi gravado.</translation>
    </message>
    <message>
        <source>none</source>
        <translation>nenhum</translation>
    </message>
    <message>
        <source>Another run is under way.</source>
        <translation>Outra execução está em andamento.</translation>
    </message>
    <message>
        <source>Sending failed: %1</source>
        <translation>O envio falhou: %1</translation>
    </message>
    <message>
        <source>UDP port 5001 is held by another program.</source>
        <translation>A porta UDP 5001 está ocupada por outro programa.</translation>
    </message>
    <message>
        <source>No network: no adapter but loopback is up with an IPv4 address.</source>
        <translation>Sem rede: nenhum adaptador além do loopback está ativo com um endereço IPv4.</translation>
    </message>
    <message>
        <source>Cancelled during the search: no write went out.</source>
        <translation>Cancelado durante a procura: nenhuma gravação foi enviada.</translation>
    </message>
    <message>
        <source>Cancelled before the first write: none went out.</source>
        <translation>Cancelado antes da primeira gravação: nenhuma foi enviada.</translation>
    </message>
    <message>
        <source>Cancelled: %1 of %2 writes went out (serial numbers %3); not confirmed: %4.</source>
        <translation>Cancelado: %1 de %2 gravações foram enviadas (números de série %3); não confirmadas: %4.</translation>
    </message>
    <message>
        <source>Nothing more was sent.</source>
        <translation>Nada mais foi enviado.</translation>
    </message>
    <message>
        <source>Not every write was confirmed: no reply carried exactly the record written.</source>
        <translation>Nem toda gravação foi confirmada: nenhuma resposta trouxe exatamente o registro gravado.</translation>
    </message>
    <message>
        <source>These rows were not written; the others were.</source>
        <translation>Estas linhas não foram gravadas; as outras foram.</translation>
    </message>
    <message>
        <source>Nothing to change: every module shows it already.</source>
        <translation>Nada a mudar: cada módulo já mostra isso.</translation>
    </message>
    <message>
        <source>Writes confirmed: %1.</source>
        <translation>Gravações confirmadas: %1.</translation>
    </message>
</context>
<context>
    <name>WriteState</name>
    <message>
        <source>waiting</source>
        <translation>aguardando</translation>
    </message>
    <message>
        <source>no change</source>
        <translation>sem alteração</translation>
    </message>
    <message>
        <source>written</source>
        <translation>gravado</translation>
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
        <source>skipped</source>
        <translation>pulado</translation>
    </message>
</context>
</TS>
