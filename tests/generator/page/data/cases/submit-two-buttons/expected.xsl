<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();">
										<input class="mono" type="text" id="INPUT1" style="position: absolute; top: 0px; left: 8px; width: 64px; z-index: 1; height: 18px; background-color: #FFFFFF; border: none; text-align: right;" value="{INPUT[1]/@VALUE}" name="{INPUT[1]/@NAME}" onfocus="SetInputEdited(1, event);" onblur="InputFocused[1]=0" onkeydown="SetInputEdited(1, event);" />
										<input type="submit" style="position: absolute; top: 24px; left: 8px; z-index: 2; height: 24px; width: 60px; background-color: #000000; border: none;" value="Apply" />
										<input type="submit" style="position: absolute; top: 24px; left: 88px; z-index: 3; height: 24px; width: 60px; background-color: #000000; border: none;" value="Reset" onclick="gSubmit = 2;" />
										<xsl:if test="INPUT[2]/@VALUE = 0">
											<input type="submit" style="position: absolute; top: 24px; left: 168px; z-index: 4; height: 24px; width: 60px; background-color: #000000; border: none; visibility: hidden;" value="Start" id="INPUT4" onclick="gSubmit = 3;" />
										</xsl:if>
										<xsl:if test="INPUT[2]/@VALUE != 0">
											<input type="submit" style="position: absolute; top: 24px; left: 168px; z-index: 4; height: 24px; width: 60px; background-color: #000000; border: none;" value="Start" id="INPUT4" onclick="gSubmit = 3;" />
										</xsl:if>
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
